#pragma once

#include <span>

// The main window's menu (menu 130): what each item says and the command it
// issues. No item has a keyboard accelerator.
enum class CommandId : int {
    ToggleToolTips = 32774,
    About = 32778,
    HelpContents = 32779,
    Listen = 32783,
    SetIpAddress = 32784,
    ClearList = 32789,
    PrintList = 32790,
    AppExit = 57665,
};

struct MenuItem {
    const char* caption; // null for a separator
    CommandId command;
    bool checkMark; // a check mark the command sets and clears
};

struct Menu {
    const char* caption;
    std::span<const MenuItem> items;
};

namespace main_menu_template {

inline constexpr MenuItem FileItems[] = {
    {"E&xit", CommandId::AppExit, false},
};
inline constexpr MenuItem ActionItems[] = {
    {"&ToolTips Enabled", CommandId::ToggleToolTips, true},
    {"&Listen", CommandId::Listen, false},
    {"&Set IP Address", CommandId::SetIpAddress, false},
    {"&Clear", CommandId::ClearList, false},
    {"&Print", CommandId::PrintList, false},
};
inline constexpr MenuItem HelpItems[] = {
    {"&Contents", CommandId::HelpContents, false},
    {nullptr, {}, false},
    {"&About", CommandId::About, false},
};
inline constexpr Menu Menus[] = {
    {"&File", FileItems},
    {"A&ctions", ActionItems},
    {"&Help", HelpItems},
};

} // namespace main_menu_template
