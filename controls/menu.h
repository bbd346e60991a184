// The spoken menu: one list of text items in a rectangle of the console. The
// user moves through it with the arrows, hearing each item, marks items for
// a multiple choice, and ends the choice with a key. There is one menu at a
// time. Items are numbered from 1. Text is Windows-1252.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace controls {

// A new empty menu in the rectangle (1-based, corners included); the next
// run starts at item 1.
void createMenu(int left, int top, int right, int bottom);
bool menuCreated();
void addMenuItem(std::string text);

// How a choice ended: the item's number (0 before the first item, count + 1
// after the last), the key that ended it (code, and the second code of a
// special key or -1), and the item's text (empty outside the items).
struct MenuChoice {
  int number;
  int code;
  int scan;
  std::string text;
};

// Runs the choice from item `start`: a positive number, 0 or less for the
// first item, or none to start where the last run was told to start. Left,
// Right, Delete and the Ctrl+F keys start it again; F1 to F12 and ordinary
// keys end it (Space, +, -, * and / mark and unmark instead).
MenuChoice runMenu(std::optional<int> start);

// Blanks the rectangle, puts the cursor at its top left corner and
// discards the items.
void endMenu();

}  // namespace controls
