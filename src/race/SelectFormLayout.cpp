// The race selection window's controls, one row each: name, kind, parent, left, top, width, height, font
// and caption. "PictureBotton" is the control's name as it has always been spelled.
#include "race/SelectFormLayout.h"

using controls::Face;
using controls::Kind;

namespace selectform {

// Tool strip, date and race pickers; the search panel follows them in the tab order.
std::span<const controls::Row> topLayout() {
    static const controls::Row rows[] = {
        {u"PictureBotton", Kind::Frame, u"", 4, 0, 350, 28},
        {u"ImageTuika", Kind::Label, u"PictureBotton", 146, 0, 25, 25},
        {u"CommandDisp(0)", Kind::ToolButton, u"PictureBotton", 0, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(1)", Kind::ToolButton, u"PictureBotton", 24, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(2)", Kind::ToolButton, u"PictureBotton", 48, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(3)", Kind::ToolButton, u"PictureBotton", 72, 0, 75, 25, Face::PGothic, 8},
        {u"CommandDisp(4)", Kind::ToolButton, u"PictureBotton", 146, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(5)", Kind::ToolButton, u"PictureBotton", 170, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(6)", Kind::ToolButton, u"PictureBotton", 194, 0, 25, 25, Face::PGothic, 8},
        {u"LabelTable", Kind::Label, u"PictureBotton", 219, 0, 131, 25, Face::PGothic, 10},
        {u"PictureWaku", Kind::Frame, u"", 4, 29, 350, 400},
        {u"PicZentei(0)", Kind::Frame, u"PictureWaku", 8, 8, 250, 35},
        {u"PicZentei(1)", Kind::Frame, u"PictureWaku", 8, 50, 250, 35},
        {u"LabelChoNen", Kind::Label, u"PicZentei(0)", 8, 8, 57, 17, Face::PGothic, 8, u"調査年月日"},
        {u"ComboNen", Kind::EditCombo, u"PicZentei(0)", 64, 8, 49, 0, Face::PGothic, 9},
        {u"ComboTuki", Kind::EditCombo, u"PicZentei(0)", 128, 8, 41, 0, Face::PGothic, 9},
        {u"ComboHi", Kind::EditCombo, u"PicZentei(0)", 184, 8, 41, 0, Face::PGothic, 9},
        {u"LabelYMD(0)", Kind::Label, u"PicZentei(0)", 112, 16, 17, 17, Face::PGothic, 8, u"年"},
        {u"LabelYMD(1)", Kind::Label, u"PicZentei(0)", 168, 16, 17, 17, Face::PGothic, 8, u"月"},
        {u"LabelYMD(2)", Kind::Label, u"PicZentei(0)", 224, 16, 17, 17, Face::PGothic, 8, u"日"},
        {u"LabelRace(0)", Kind::Label, u"PicZentei(1)", 8, 8, 57, 10, Face::PGothic, 8, u"対象レース"},
        {u"LabelRace(1)", Kind::Label, u"PicZentei(1)", 152, 8, 57, 10, Face::PGothic, 8, u"第"},
        {u"LabelRace(2)", Kind::Label, u"PicZentei(1)", 208, 8, 57, 10, Face::PGothic, 8, u"レース"},
        {u"ComboBasho", Kind::EditCombo, u"PicZentei(1)", 67, 8, 87, 0, Face::PGothic, 9},
        {u"ComboRace", Kind::EditCombo, u"PicZentei(1)", 168, 8, 41, 0, Face::PGothic, 9},
    };
    return rows;
}

// The search list and the picked racers, right of the panel.
std::span<const controls::Row> listLayout() {
    static const controls::Row rows[] = {
        {u"LabelHyouji", Kind::Label, u"", 360, 0, 265, 17, Face::Gothic, 9, u"出身　  登番　期　氏名"},
        {u"List1", Kind::List, u"", 360, 16, 265, 280, Face::Gothic, 9},
        {u"LabelSentaku", Kind::Label, u"", 360, 300, 265, 17, Face::Gothic, 9, u"選択ボックス"},
        {u"List2", Kind::List, u"", 360, 316, 265, 112, Face::Gothic, 9},
    };
    return rows;
}

} // namespace selectform
