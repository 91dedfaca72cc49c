#include "AddressText.h"
#include "BootpSocket.h"

#include <QCoreApplication>
#include <QTextStream>

#include <set>
#include <string>

namespace {

// Until the main window exists the program lists, on its console, each unit
// that asks for an address.
class ConsoleUnitList : public BootRequestReceiver {
public:
    void OnBootRequest(std::span<const std::uint8_t> buffer, unsigned) override
    {
        const std::string mac = FormatHardwareAddress(ReadHardwareAddress(buffer));
        if (heard.insert(mac).second)
            QTextStream(stdout) << "unit " << QString::fromStdString(mac) << Qt::endl;
    }

private:
    std::set<std::string> heard;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ConsoleUnitList units;
    CBootpSocket listenSocket(units);
    if (!listenSocket.Create()) {
        QTextStream(stderr) << "Fail to create socket, Can NOT listen for BootP request.\n";
        return 1;
    }
    QTextStream(stdout) << "Listening for BootP requests on UDP port 67." << Qt::endl;
    return app.exec();
}
