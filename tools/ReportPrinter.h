#pragma once

class CUnitList;
class QWidget;

// The list's name as a document: the printed job's.
inline constexpr char UnitListName[] = "Tarvik Ethernet I/O Units";

// Prints the list's MAC and IP addresses on the default printer at once,
// with no dialog, as one job named UnitListName. Without a default printer
// nothing is printed and a box of `owner` says so.
void PrintUnitList(QWidget* owner, const CUnitList& units);
