// The statistics window's controls, one row each: name, kind, parent, left, top, width, height, font
// and caption. Filters on top, the means table with its note beside the chart, the tests table below
// them, then the summary and the two export commands.
#include "history/ToukeiFormLayout.h"

using controls::Face;
using controls::Kind;

namespace toukeiform {

std::span<const controls::Row> filterLayout() {
    static const controls::Row rows[] = {
        {u"LabelBasho", Kind::Label, u"", 8, 11, 48, 20, Face::PGothic, 9, u"競輪場"},
        {u"ComboBasho", Kind::Combo, u"", 56, 9, 144, 0, Face::PGothic, 9},
        {u"LabelKikan", Kind::Label, u"", 214, 11, 48, 20, Face::PGothic, 9, u"調査日"},
        {u"LabelKara", Kind::Label, u"", 370, 11, 16, 20, Face::PGothic, 9, u"～"},
    };
    return rows;
}

std::span<const controls::Row> bottomLayout() {
    static const controls::Row rows[] = {
        {u"LabelChuui", Kind::Label, u"", 8, 259, 328, 44, Face::PGothic, 9},
        {u"LabelSetsumei", Kind::Label, u"", 8, 532, 744, 56, Face::PGothic, 10},
        {u"CommandGazou", Kind::Button, u"", 576, 594, 84, 26, Face::PGothic, 9, u"画像保存"},
        {u"CommandCsv", Kind::Button, u"", 668, 594, 84, 26, Face::PGothic, 9, u"CSV出力"},
    };
    return rows;
}

} // namespace toukeiform
