// The racer master window's controls, one row each: name, kind, parent, left, top, width, height, font
// and caption. "PictureBotton" is the control's name as it has always been spelled.
#include "masters/SensyuFormLayout.h"

using controls::Face;
using controls::Kind;

namespace sensyuform {

// The tool strip and the frame of the search panel, which follows them in the tab order.
std::span<const controls::Row> toolLayout() {
    static const controls::Row rows[] = {
        {u"PictureBotton", Kind::Frame, u"", 4, 0, 350, 28},
        {u"CommandDisp(0)", Kind::ToolButton, u"PictureBotton", 0, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(1)", Kind::ToolButton, u"PictureBotton", 24, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(2)", Kind::ToolButton, u"PictureBotton", 48, 0, 25, 25, Face::PGothic, 8},
        // Delete-all shares the place of the add button; only one of the two shows.
        {u"CommandDisp(8)", Kind::ToolButton, u"PictureBotton", 48, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(3)", Kind::ToolButton, u"PictureBotton", 72, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(4)", Kind::ToolButton, u"PictureBotton", 96, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(5)", Kind::ToolButton, u"PictureBotton", 120, 0, 75, 25, Face::PGothic, 8},
        {u"CommandDisp(6)", Kind::ToolButton, u"PictureBotton", 194, 0, 25, 25, Face::PGothic, 8},
        {u"CommandDisp(7)", Kind::ToolButton, u"PictureBotton", 218, 0, 25, 25, Face::PGothic, 8},
        {u"LabelTable", Kind::Label, u"PictureBotton", 240, 0, 110, 25, Face::PGothic, 10},
        {u"PictureWaku", Kind::Frame, u"", 4, 29, 350, 400},
    };
    return rows;
}

// The result list and the edit panel, right of the search panel.
std::span<const controls::Row> listAndEditLayout() {
    static const controls::Row rows[] = {
        {u"LabelHyouji", Kind::Label, u"", 360, 0, 265, 17, Face::Gothic, 9, u"出身　  登番　期　氏名"},
        {u"List1", Kind::List, u"", 360, 16, 265, 240, Face::Gothic, 9},
        {u"LabelSentaku", Kind::Label, u"", 360, 256, 265, 17, Face::PGothic, 9, u"編集ボックス"},
        {u"PictureHensyu", Kind::Frame, u"", 360, 272, 265, 155},
        {u"LabelHensyu(0)", Kind::Label, u"PictureHensyu", 8, 8, 40, 17, Face::PGothic, 9, u"出身"},
        {u"LabelHensyu(1)", Kind::Label, u"PictureHensyu", 8, 32, 40, 17, Face::PGothic, 9, u"期"},
        {u"LabelHensyu(2)", Kind::Label, u"PictureHensyu", 8, 56, 40, 17, Face::PGothic, 9, u"登番"},
        {u"LabelHensyu(3)", Kind::Label, u"PictureHensyu", 8, 80, 40, 17, Face::PGothic, 9, u"名前"},
        {u"LabelHensyu(4)", Kind::Label, u"PictureHensyu", 8, 104, 40, 17, Face::PGothic, 9, u"ﾖﾐｶﾞﾅ"},
        {u"LabelHensyu(5)", Kind::Label, u"PictureHensyu", 8, 128, 40, 17, Face::PGothic, 9, u"級"},
        {u"LabelHensyu(6)", Kind::Label, u"PictureHensyu", 160, 8, 40, 17, Face::PGothic, 9, u"生年"},
        {u"LabelHensyu(7)", Kind::Label, u"PictureHensyu", 160, 32, 40, 17, Face::PGothic, 9, u"生月"},
        {u"LabelHensyu(8)", Kind::Label, u"PictureHensyu", 160, 56, 40, 17, Face::PGothic, 9, u"生日"},
        {u"LabelHensyu(9)", Kind::Label, u"PictureHensyu", 160, 80, 40, 17, Face::PGothic, 9, u"血液型"},
        {u"LabelHensyu(10)", Kind::Label, u"PictureHensyu", 160, 104, 40, 17, Face::PGothic, 9, u"勝率"},
        {u"LabelHensyu(11)", Kind::Label, u"PictureHensyu", 160, 128, 40, 17, Face::PGothic, 9, u"複勝率"},
        // The fields, in the order the Enter key walks them.
        {u"ComboSyozoku", Kind::EditCombo, u"PictureHensyu", 48, 8, 81, 18, Face::Gothic, 9},
        {u"Ki", Kind::Edit, u"PictureHensyu", 48, 32, 41, 18, Face::Gothic, 9},
        {u"Toban", Kind::Edit, u"PictureHensyu", 48, 56, 41, 18, Face::Gothic, 9},
        {u"Namae", Kind::Edit, u"PictureHensyu", 48, 80, 105, 18, Face::Gothic, 9},
        {u"Yomigana", Kind::Edit, u"PictureHensyu", 48, 104, 105, 18, Face::Gothic, 9},
        {u"Kyu", Kind::Edit, u"PictureHensyu", 48, 128, 41, 18, Face::Gothic, 9},
        {u"Seinen", Kind::Edit, u"PictureHensyu", 200, 8, 49, 18, Face::Gothic, 9},
        {u"Seituki", Kind::Edit, u"PictureHensyu", 200, 32, 25, 18, Face::Gothic, 9},
        {u"Seihi", Kind::Edit, u"PictureHensyu", 200, 56, 25, 18, Face::Gothic, 9},
        {u"ComboBladtype", Kind::EditCombo, u"PictureHensyu", 200, 80, 49, 18, Face::Gothic, 9},
        {u"Syoritu", Kind::Edit, u"PictureHensyu", 200, 104, 49, 18, Face::Gothic, 9},
        {u"Fukuritu", Kind::Edit, u"PictureHensyu", 200, 128, 49, 18, Face::Gothic, 9},
    };
    return rows;
}

} // namespace sensyuform
