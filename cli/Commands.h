#pragma once

#include <QStringList>

// Runs the program for its arguments (the first is the program itself) and
// gives its exit status: 0 done, 1 not done (timed out, or ended by Ctrl+C
// before every unit was answered, or the record could not be written),
// 2 a wrong command line or plan, an unwritable record, or listening failed.
int RunCommandLine(const QStringList& arguments);
