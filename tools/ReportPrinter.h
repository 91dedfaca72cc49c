#pragma once

class CUnitList;
class QWidget;

// Prints the list's MAC and IP addresses on the default printer at once,
// with no dialog, as one job named "Tarvik Ethernet I/O Units". Without a
// default printer nothing is printed and a box of `owner` says so.
void PrintUnitList(QWidget* owner, const CUnitList& units);
