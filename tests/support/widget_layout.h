// A dialog's widget tree checked against a table: creation order, nesting, labels and
// geometry, for the layout tests of the dialogs.
#pragma once
#include <vector>

class Fl_Group;
class Fl_Widget;

struct Widget_row {
  const Fl_Widget* widget;  // the dialog's member expected at this place; null: any
  int depth;                // 1 for the window's own children, 2 for theirs...
  const char* label;        // null for none
  int x, y, w, h;
};

/// Walks every widget under root depth first, in creation order, and expects exactly the
/// rows, one per widget (non-fatal failures naming the row).
void expect_widget_layout(Fl_Group& root, const std::vector<Widget_row>& rows);
