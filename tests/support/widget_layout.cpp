// Widget tree checks for the dialogs' layout tests.
#include "tests/support/widget_layout.h"

#include <gtest/gtest.h>

#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

#include <string>
#include <utility>

namespace {

void walk(Fl_Group& group, int depth, std::vector<std::pair<Fl_Widget*, int>>& out) {
  for (int i = 0; i < group.children(); ++i) {
    Fl_Widget* w = group.child(i);
    out.emplace_back(w, depth);
    if (Fl_Group* sub = w->as_group()) walk(*sub, depth + 1, out);
  }
}

std::string text_of(const char* s) { return s ? s : ""; }

}  // namespace

void expect_widget_layout(Fl_Group& root, const std::vector<Widget_row>& rows) {
  std::vector<std::pair<Fl_Widget*, int>> tree;
  walk(root, 1, tree);
  EXPECT_EQ(tree.size(), rows.size());
  for (size_t i = 0; i < tree.size() && i < rows.size(); ++i) {
    const Widget_row& row = rows[i];
    const Fl_Widget* w = tree[i].first;
    const std::string name = "row " + std::to_string(i) + " (" + text_of(row.label) + ")";
    if (row.widget) {
      EXPECT_EQ(w, row.widget) << name;
    }
    EXPECT_EQ(tree[i].second, row.depth) << name;
    EXPECT_EQ(text_of(w->label()), text_of(row.label)) << name;
    EXPECT_EQ(w->x(), row.x) << name;
    EXPECT_EQ(w->y(), row.y) << name;
    EXPECT_EQ(w->w(), row.w) << name;
    EXPECT_EQ(w->h(), row.h) << name;
  }
}
