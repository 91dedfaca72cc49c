#include "plan/CsvReader.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

CsvReader::CsvReader(std::string_view text, char delimiter) : text(text), delimiter(delimiter)
{
    // A byte order mark, as spreadsheets put before UTF-8.
    if (this->text.substr(0, 3) == "\xEF\xBB\xBF")
        pos = 3;
}

char CsvReader::DelimiterOf(std::string_view text)
{
    CsvReader reader(text, ',');
    if (!reader.SkipToRecord())
        return ',';
    const std::string_view firstLine = text.substr(reader.pos, text.find('\n', reader.pos) - reader.pos);
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : firstLine) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

bool CsvReader::SkipToRecord()
{
    while (pos < text.size()) {
        std::size_t first = pos;
        while (first < text.size() && (IsBlank(text[first]) || text[first] == '\r'))
            ++first;
        const bool lineEnds = first == text.size() || text[first] == '\n';
        if (!lineEnds && text[first] != '#')
            return true;
        const std::size_t end = text.find('\n', first);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        ++line;
    }
    return false;
}

bool CsvReader::Next(CsvRow& row)
{
    row.fields.clear();
    if (!SkipToRecord())
        return false;
    row.line = line;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (quoted) {
            if (c == '"' && pos < text.size() && text[pos] == '"') {
                field += '"';
                ++pos;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
        } else if (c == '"' && !wasQuoted && field.find_first_not_of(" \t") == std::string::npos) {
            // A quote opens a field only at its start, after white space at most.
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == delimiter) {
            row.fields.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
        } else if (c == '\n') {
            ++line;
            break;
        } else if (c != '\r') {
            field += c;
        }
    }
    if (quoted) {
        unclosedQuoteLine = row.line;
        return false;
    }
    row.fields.push_back(std::move(field));
    return true;
}
