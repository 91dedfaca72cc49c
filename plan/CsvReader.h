#pragma once

#include <string>
#include <string_view>
#include <vector>

// One record of a CSV text and the line it begins on (the first line is 1).
struct CsvRow {
    int line = 0;
    std::vector<std::string> fields;
};

// Reads CSV as RFC 4180 has it, with the delimiter a spreadsheet of the
// locale writes (comma or semicolon): a quoted field may hold delimiters,
// line breaks and doubled quotes. Lines that are blank, or whose first
// character other than white space is '#', are skipped. Line ends may be
// CRLF or LF.
class CsvReader {
public:
    CsvReader(std::string_view text, char delimiter);

    // The next record; false at the end of the text, or when a quoted field
    // is never closed (then `unclosedQuoteLine` is where it began).
    bool Next(CsvRow& row);
    int UnclosedQuoteLine() const { return unclosedQuoteLine; }

    // The delimiter of a text, read from its first line that is not skipped:
    // a semicolon when it holds more of them than commas outside quotes,
    // else a comma.
    static char DelimiterOf(std::string_view text);

private:
    // Skips blank and comment lines; false at the end.
    bool SkipToRecord();

    std::string_view text;
    char delimiter;
    std::size_t pos = 0;
    int line = 1;
    int unclosedQuoteLine = 0;
};
