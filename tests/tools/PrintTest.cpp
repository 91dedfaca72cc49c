// Print through the main window onto a real printer, the PDF queue of a CUPS
// scheduler of the tests' own (tests/support/pdfprinter.sh), and read the
// pages back with poppler's tools: what is printed, where, on which page,
// under which job name.
// Without a default printer the program says so and prints nothing.

#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestToolDlg.h"
#include "ui/MainMenu.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A text as printed: its words joined, its top-left corner in points.
struct PrintedText {
    double x;
    double y;
    QString text;
};
using PrintedPage = std::vector<PrintedText>;

QString OutputOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words of each page, joined into the texts they were printed as: words
// on one line close together.
std::vector<PrintedPage> ReadPages(const QString& pdf)
{
    struct Word {
        double x, y, right;
        QString text;
    };
    std::vector<std::vector<Word>> words;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">(.*)</word>)re");
    for (const QString& line : OutputOf("pdftotext", {"-bbox", pdf, "-"}).split('\n')) {
        if (line.trimmed().startsWith("<page "))
            words.emplace_back();
        else if (const QRegularExpressionMatch match = word.match(line); match.hasMatch() && !words.empty())
            words.back().push_back({match.captured(1).toDouble(), match.captured(2).toDouble(),
                                    match.captured(3).toDouble(), match.captured(4)});
    }
    std::vector<PrintedPage> pages;
    for (std::vector<Word>& page : words) {
        std::sort(page.begin(), page.end(), [](const Word& a, const Word& b) {
            return std::abs(a.y - b.y) > 0.01 ? a.y < b.y : a.x < b.x;
        });
        PrintedPage& texts = pages.emplace_back();
        double right = 0;
        for (const Word& w : page) {
            if (!texts.empty() && std::abs(texts.back().y - w.y) < 0.01 && w.x - right < 5)
                texts.back().text += ' ' + w.text;
            else
                texts.push_back({w.x, w.y, w.text});
            right = w.right;
        }
    }
    return pages;
}

class PrintList : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("BOOTP_PRINTED_PDF"))
            GTEST_SKIP() << "no PDF printer: run through tests/support/pdfprinter.sh";
        ASSERT_FALSE(QPrinterInfo::defaultPrinter().isNull());
        // Where the program's lines must stand, in points: its font's line
        // height and average character width on the printer, from the top-left
        // of the printable area.
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        const QFontMetrics metrics(QFont(), &printer);
        const double point = 72.0 / printer.resolution();
        h = metrics.height() * point;
        w = metrics.averageCharWidth() * point;
        area = printer.pageLayout().paintRect(QPageLayout::Point);
        origin = area.topLeft() + QPointF(point, point);
        window.OnListen();
    }

    // Runs `print`, which must show nothing, and returns the pages of the one
    // job it printed, after checking the job's name.
    std::vector<PrintedPage> Printout(const std::function<void()>& print)
    {
        const qsizetype jobsBefore = FinishedJobs().size();
        EXPECT_EQ(ModalsOpenedBy(print), 0);
        // The queue has written the whole file once the job is logged and
        // none is left waiting.
        const bool finished = QTest::qWaitFor(
            [&] { return FinishedJobs().size() > jobsBefore && OutputOf("lpstat", {"-o"}).isEmpty(); }, 30000);
        if (!finished) {
            ADD_FAILURE() << "no job finished; the scheduler's log: " << pageLog.toStdString();
            return {};
        }
        const QStringList jobs = FinishedJobs();
        EXPECT_EQ(jobs.size(), jobsBefore + 1) << "one job";
        EXPECT_EQ(jobs.last().section(' ', 1), "Tarvik Ethernet I/O Units");
        EXPECT_TRUE(OutputOf("pdfinfo", {pdf}).contains(QRegularExpression(R"(^Title: +Tarvik Ethernet I/O Units$)",
                                                                          QRegularExpression::MultilineOption)));
        std::vector<PrintedPage> pages = ReadPages(pdf);
        QFile::remove(pdf);
        return pages;
    }

    // The scheduler's page log: a line a finished job, its id and name.
    QStringList FinishedJobs() const
    {
        QFile log(pageLog);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // The heading block, then the list's rows [first, first + count) on the
    // following lines, in the two columns.
    void ExpectPage(const PrintedPage& page, int first, int count)
    {
        ASSERT_EQ(page.size(), 4u + 2 * count);
        // The PDF puts a text's top at its font's ascent, a little below the
        // top Qt placed it at; the lines keep their distances exactly.
        const double top = page[0].y;
        EXPECT_NEAR(top, origin.y(), 2.5) << "placed by its top, not its baseline";
        const auto expectAt = [&](const PrintedText& text, const QString& content, int column, int line) {
            EXPECT_EQ(text.text, content);
            EXPECT_NEAR(text.x, origin.x() + column * 21 * w, 0.1) << content.toStdString();
            EXPECT_NEAR(text.y, top + line * h, 0.1) << content.toStdString();
        };
        expectAt(page[0], "Tarvik BootP Tool", 0, 0);
        expectAt(page[1], QString(50, '_'), 0, 1);
        expectAt(page[2], "MAC Address", 0, 4);
        expectAt(page[3], "IP Address", 1, 4);
        for (int row = 0; row < count; ++row) {
            expectAt(page[4 + 2 * row], window.Units().Text(first + row, MacAddressColumn), 0, 5 + row);
            expectAt(page[5 + 2 * row], window.Units().Text(first + row, IpAddressColumn), 1, 5 + row);
        }
    }

    const QString pdf = qEnvironmentVariable("BOOTP_PRINTED_PDF");
    const QString pageLog = qEnvironmentVariable("BOOTP_PAGE_LOG");
    double h = 0, w = 0;
    QRectF area;
    QPointF origin;
    TestToolDlg window;
};

TEST_F(PrintList, AnEmptyListPrintsTheHeadingsAloneAtOnceUnderTheJobsName)
{
    const std::vector<PrintedPage> pages = Printout([&] { ButtonWithText(&window, "&Print")->click(); });
    ASSERT_EQ(pages.size(), 1u);
    ExpectPage(pages[0], 0, 0);
}

TEST_F(PrintList, ALongListGoesOnOverPagesInListOrderFromMenuAndButtonAlike)
{
    HearUnits(window, 100);
    // The others print 0.0.0.0, as they are listed.
    window.Units().SetText(0, IpAddressColumn, "192.168.1.20");

    const std::vector<PrintedPage> pages =
        Printout([&] { MenuCommand(window.MenuBar(), CommandId::PrintList)->trigger(); });
    ASSERT_GE(pages.size(), 2u);
    int first = 0;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const int rows = (static_cast<int>(pages[page].size()) - 4) / 2;
        ExpectPage(pages[page], first, rows);
        first += rows;
        if (page + 1 < pages.size()) {
            // Full: one line more would not fit.
            const double lastRowBottom = pages[page][0].y + (5 + rows) * h;
            EXPECT_LE(lastRowBottom, area.bottom() + 2.5);
            EXPECT_GT(lastRowBottom + h, area.bottom() - 2.5);
        }
    }
    EXPECT_EQ(first, 100) << "every unit printed once";

    const std::vector<PrintedPage> fromButton = Printout([&] { ButtonWithText(&window, "&Print")->click(); });
    ASSERT_EQ(fromButton.size(), pages.size());
    for (std::size_t page = 0; page < pages.size(); ++page) {
        ASSERT_EQ(fromButton[page].size(), pages[page].size());
        for (std::size_t text = 0; text < pages[page].size(); ++text)
            EXPECT_EQ(fromButton[page][text].text, pages[page][text].text);
    }
}

// Run outside pdfprinter.sh, where the tests have no print server.
TEST(NoDefaultPrinter, NothingIsPrintedAndTheOperatorIsTold)
{
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull());
    TestToolDlg window;
    const SeenMessage seen = MessageShownBy([&] { window.OnPrintList(); });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.caption, QCoreApplication::applicationName());
    EXPECT_TRUE(seen.text.contains("no default printer")) << seen.text.toStdString();
}

}  // namespace
