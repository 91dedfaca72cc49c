#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run without a display unless one is asked for; ctest also runs
// this binary at build time to list its tests.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing is printed on this machine's printers, only on the PDF printer
    // of the scheduler that pdfprinter.sh runs: elsewhere the print server
    // does not exist.
    if (!qEnvironmentVariableIsSet("BOOTP_PRINTED_PDF"))
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    QApplication app(argc, argv);
    // Tests end many windows; none of them ends the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
