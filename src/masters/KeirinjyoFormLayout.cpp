// The velodrome master window's controls, one row each: name, kind, parent, left, top, width, height,
// font and caption. A height of 0 takes the height from the font.
#include "masters/KeirinjyoFormLayout.h"

using controls::Face;
using controls::Kind;

namespace keirinjyoform {

std::span<const controls::Row> layout() {
    static const controls::Row rows[] = {
        {u"PictureWaku", Kind::Frame, u"", 8, 8, 609, 417},
        {u"PictureButton", Kind::Frame, u"PictureWaku", 32, 24, 545, 65},
        {u"CommandDB(4)", Kind::Button, u"PictureButton", 56, 16, 73, 33, Face::Gothic, 9, u"更新"},
        {u"CommandDB(5)", Kind::Button, u"PictureButton", 128, 16, 73, 33, Face::Gothic, 9, u"追加"},
        {u"CommandDB(6)", Kind::Button, u"PictureButton", 200, 16, 73, 33, Face::Gothic, 9, u"削除"},
        {u"CommandDB(7)", Kind::Button, u"PictureButton", 272, 16, 73, 33, Face::Gothic, 9, u"印刷"},
        {u"PictureHyouji", Kind::Frame, u"PictureWaku", 32, 120, 545, 265},
        {u"PictureRecord", Kind::Frame, u"PictureHyouji", 56, 32, 441, 209},
        {u"CommandDB(0)", Kind::Button, u"PictureRecord", 0, 0, 73, 33, Face::Gothic, 9, u"先頭ﾚｺｰﾄﾞ"},
        {u"CommandDB(1)", Kind::Button, u"PictureRecord", 72, 0, 73, 33, Face::Gothic, 9, u"前ﾚｺｰﾄﾞ"},
        {u"CommandDB(2)", Kind::Button, u"PictureRecord", 144, 0, 73, 33, Face::Gothic, 9, u"次ﾚｺｰﾄﾞ"},
        {u"CommandDB(3)", Kind::Button, u"PictureRecord", 216, 0, 73, 33, Face::Gothic, 9, u"最終ﾚｺｰﾄﾞ"},
        {u"LabelRecNo", Kind::Label, u"PictureRecord", 288, 0, 49, 31, Face::Gothic, 9, u"RecNo."},
        {u"RecordNo", Kind::Edit, u"PictureRecord", 336, 0, 105, 31, Face::Gothic, 14},
        {u"LabelKeirin(0)", Kind::Label, u"PictureRecord", 56, 56, 129, 25, Face::Gothic, 16, u"競輪場ID"},
        {u"LabelKeirin(1)", Kind::Label, u"PictureRecord", 56, 104, 129, 25, Face::Gothic, 16, u"競輪場名"},
        {u"LabelKeirin(2)", Kind::Label, u"PictureRecord", 56, 152, 129, 25, Face::Gothic, 16, u"地区名"},
        {u"KeirinjyoID", Kind::Edit, u"PictureRecord", 312, 56, 73, 25, Face::Gothic, 16},
        {u"KeirinjyoMei", Kind::Edit, u"PictureRecord", 240, 104, 145, 25, Face::Gothic, 16},
        {u"ComboChikuMei", Kind::Combo, u"PictureRecord", 240, 152, 145, 0, Face::Gothic, 16},
    };
    return rows;
}

} // namespace keirinjyoform
