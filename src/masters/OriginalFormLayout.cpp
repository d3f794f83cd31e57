// The roster window's controls, one row each: name, kind, parent, left, top, width, height, font and
// caption. A height of 0 takes the height from the font. The day labels come before the pickers
// they follow, so that a picker stays on top where the two touch.
#include "masters/OriginalFormLayout.h"

using controls::Face;
using controls::Kind;

namespace originalform {

std::span<const controls::Row> layout() {
    static const controls::Row rows[] = {
        {u"PictureWaku", Kind::Frame, u"", 16, 8, 600, 410},
        {u"PictureChoNen", Kind::Frame, u"PictureWaku", 24, 32, 193, 65},
        {u"LabelChoNen", Kind::Label, u"PictureChoNen", 8, 8, 97, 17, Face::PGothic, 9, u"調査年月日"},
        {u"LabelYMD(0)", Kind::Label, u"PictureChoNen", 56, 32, 17, 17, Face::PGothic, 9, u"年"},
        {u"LabelYMD(1)", Kind::Label, u"PictureChoNen", 112, 32, 17, 17, Face::PGothic, 9, u"月"},
        {u"LabelYMD(2)", Kind::Label, u"PictureChoNen", 168, 32, 17, 17, Face::PGothic, 9, u"日"},
        {u"ComboChoNen", Kind::EditCombo, u"PictureChoNen", 8, 24, 49, 0, Face::PGothic, 9},
        {u"ComboChoTuki", Kind::EditCombo, u"PictureChoNen", 72, 24, 41, 0, Face::PGothic, 9},
        {u"ComboChoHi", Kind::EditCombo, u"PictureChoNen", 128, 24, 41, 0, Face::PGothic, 9},
        {u"PictureCommand", Kind::Frame, u"PictureWaku", 240, 32, 330, 65},
        {u"CommandDB(4)", Kind::Button, u"PictureCommand", 16, 16, 73, 33, Face::PGothic, 9, u"更新"},
        {u"CommandDB(5)", Kind::Button, u"PictureCommand", 88, 16, 73, 33, Face::PGothic, 9, u"追加"},
        {u"CommandDB(6)", Kind::Button, u"PictureCommand", 160, 16, 73, 33, Face::PGothic, 9, u"削除"},
        {u"CommandDB(7)", Kind::Button, u"PictureCommand", 232, 16, 73, 33, Face::PGothic, 9, u"印刷"},
        {u"PictureMain", Kind::Frame, u"PictureWaku", 24, 120, 545, 265},
        {u"CommandDB(0)", Kind::Button, u"PictureMain", 0, 0, 73, 33, Face::PGothic, 9, u"先頭ﾚｺｰﾄﾞ"},
        {u"CommandDB(1)", Kind::Button, u"PictureMain", 72, 0, 73, 33, Face::PGothic, 9, u"前ﾚｺｰﾄﾞ"},
        {u"CommandDB(2)", Kind::Button, u"PictureMain", 144, 0, 73, 33, Face::PGothic, 9, u"次ﾚｺｰﾄﾞ"},
        {u"CommandDB(3)", Kind::Button, u"PictureMain", 216, 0, 73, 33, Face::PGothic, 9, u"最終ﾚｺｰﾄﾞ"},
        {u"LabelCommand", Kind::Label, u"PictureMain", 288, 0, 49, 31, Face::PGothic, 9, u"RecNo."},
        {u"RecordNo", Kind::Edit, u"PictureMain", 336, 0, 105, 31, Face::PGothic, 14},
        {u"PictureSelect", Kind::Frame, u"PictureMain", 50, 30, 440, 205},
        {u"LabelSeiNen(0)", Kind::Label, u"PictureSelect", 64, 48, 67, 33, Face::PGothic, 14, u"名前"},
        {u"LabelSeiNen(1)", Kind::Label, u"PictureSelect", 64, 88, 67, 33, Face::PGothic, 14, u"生年"},
        {u"LabelSeiNen(2)", Kind::Label, u"PictureSelect", 64, 128, 67, 33, Face::PGothic, 14, u"生月"},
        {u"LabelSeiNen(3)", Kind::Label, u"PictureSelect", 64, 168, 67, 33, Face::PGothic, 14, u"生日"},
        {u"LabelSeiNenYMD(0)", Kind::Label, u"PictureSelect", 344, 88, 67, 33, Face::PGothic, 14, u"年"},
        {u"LabelSeiNenYMD(1)", Kind::Label, u"PictureSelect", 344, 128, 67, 33, Face::PGothic, 14, u"月"},
        {u"LabelSeiNenYMD(2)", Kind::Label, u"PictureSelect", 344, 168, 67, 33, Face::PGothic, 14, u"日"},
        {u"TextNamae", Kind::Edit, u"PictureSelect", 152, 48, 173, 28, Face::PGothic, 14},
        {u"ComboNen", Kind::EditCombo, u"PictureSelect", 152, 88, 173, 0, Face::PGothic, 14},
        {u"ComboTuki", Kind::EditCombo, u"PictureSelect", 256, 128, 67, 0, Face::PGothic, 14},
        {u"ComboHi", Kind::EditCombo, u"PictureSelect", 256, 168, 67, 0, Face::PGothic, 14},
    };
    return rows;
}

} // namespace originalform
