// The ping command's address check: whatever it lets through to the shell is
// exactly a dotted quad as this program writes one (four decimal numbers of
// 0 to 255 without leading zeros, joined by dots, nothing else), and every
// address the program writes gets through.

#include "core/AddressText.h"
#include "tools/PingCommand.h"

#include <QStringList>

#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsWrittenDottedQuad(const QString& text)
{
    const QStringList numbers = text.split(QLatin1Char('.'));
    if (numbers.size() != 4)
        return false;
    for (const QString& number : numbers) {
        if (number.isEmpty() || number.size() > 3 || (number.size() > 1 && number[0] == QLatin1Char('0')))
            return false;
        for (const QChar digit : number) {
            if (digit < QLatin1Char('0') || digit > QLatin1Char('9'))
                return false;
        }
        if (number.toInt() > 255)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<QString> line = PingCommandLine(text)) {
        Check(IsWrittenDottedQuad(text));
        Check(line->endsWith(QLatin1Char(' ') + text));
    }
    if (size >= 4) {
        std::uint32_t address = 0;
        std::memcpy(&address, data, 4);
        Check(PingCommandLine(QString::fromStdString(FormatDottedQuad(address))).has_value());
    }
    return 0;
}
