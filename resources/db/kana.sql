-- Kana initial of a reading -> よみがなID, the index of the kana button that finds it.
-- The buttons form ten columns (ア カ サ タ ナ ハ マ ヤ ラ ワ) of five rows: index = column * 5 + row.
-- Hiragana, katakana and half-width katakana map alike. A half-width voiced initial is two
-- characters (ｶﾞ), so its first character already finds the plain row. Anything else (kanji,
-- Latin letters, ー, blanks) has no row here and gives a null よみがなID.
CREATE TABLE T_よみがな索引 (
    かな TEXT PRIMARY KEY,
    よみがなID INTEGER NOT NULL
);

-- Plain kana: hiragana, katakana and half-width katakana of the first seven columns.
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('あ', 0), ('ア', 0), ('ｱ', 0);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('い', 1), ('イ', 1), ('ｲ', 1);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('う', 2), ('ウ', 2), ('ｳ', 2);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('え', 3), ('エ', 3), ('ｴ', 3);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('お', 4), ('オ', 4), ('ｵ', 4);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('か', 5), ('カ', 5), ('ｶ', 5);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('き', 6), ('キ', 6), ('ｷ', 6);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('く', 7), ('ク', 7), ('ｸ', 7);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('け', 8), ('ケ', 8), ('ｹ', 8);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('こ', 9), ('コ', 9), ('ｺ', 9);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('さ', 10), ('サ', 10), ('ｻ', 10);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('し', 11), ('シ', 11), ('ｼ', 11);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('す', 12), ('ス', 12), ('ｽ', 12);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('せ', 13), ('セ', 13), ('ｾ', 13);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('そ', 14), ('ソ', 14), ('ｿ', 14);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('た', 15), ('タ', 15), ('ﾀ', 15);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ち', 16), ('チ', 16), ('ﾁ', 16);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('つ', 17), ('ツ', 17), ('ﾂ', 17);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('て', 18), ('テ', 18), ('ﾃ', 18);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('と', 19), ('ト', 19), ('ﾄ', 19);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('な', 20), ('ナ', 20), ('ﾅ', 20);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('に', 21), ('ニ', 21), ('ﾆ', 21);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぬ', 22), ('ヌ', 22), ('ﾇ', 22);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ね', 23), ('ネ', 23), ('ﾈ', 23);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('の', 24), ('ノ', 24), ('ﾉ', 24);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('は', 25), ('ハ', 25), ('ﾊ', 25);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ひ', 26), ('ヒ', 26), ('ﾋ', 26);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ふ', 27), ('フ', 27), ('ﾌ', 27);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('へ', 28), ('ヘ', 28), ('ﾍ', 28);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ほ', 29), ('ホ', 29), ('ﾎ', 29);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ま', 30), ('マ', 30), ('ﾏ', 30);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('み', 31), ('ミ', 31), ('ﾐ', 31);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('む', 32), ('ム', 32), ('ﾑ', 32);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('め', 33), ('メ', 33), ('ﾒ', 33);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('も', 34), ('モ', 34), ('ﾓ', 34);
-- ヤ, ラ and ワ columns; ン is the last button.
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('や', 35), ('ヤ', 35), ('ﾔ', 35);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゆ', 37), ('ユ', 37), ('ﾕ', 37);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('よ', 39), ('ヨ', 39), ('ﾖ', 39);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ら', 40), ('ラ', 40), ('ﾗ', 40);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('り', 41), ('リ', 41), ('ﾘ', 41);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('る', 42), ('ル', 42), ('ﾙ', 42);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('れ', 43), ('レ', 43), ('ﾚ', 43);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ろ', 44), ('ロ', 44), ('ﾛ', 44);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('わ', 45), ('ワ', 45), ('ﾜ', 45), ('ヷ', 45);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ん', 49), ('ン', 49), ('ﾝ', 49);
-- Voiced and semi-voiced initials search under their plain kana (ヴ under ウ).
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゔ', 2), ('ヴ', 2);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('が', 5), ('ガ', 5);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぎ', 6), ('ギ', 6);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぐ', 7), ('グ', 7);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('げ', 8), ('ゲ', 8);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ご', 9), ('ゴ', 9);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ざ', 10), ('ザ', 10);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('じ', 11), ('ジ', 11);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ず', 12), ('ズ', 12);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぜ', 13), ('ゼ', 13);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぞ', 14), ('ゾ', 14);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('だ', 15), ('ダ', 15);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぢ', 16), ('ヂ', 16);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('づ', 17), ('ヅ', 17);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('で', 18), ('デ', 18);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ど', 19), ('ド', 19);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ば', 25), ('バ', 25);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('び', 26), ('ビ', 26);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぶ', 27), ('ブ', 27);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('べ', 28), ('ベ', 28);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぼ', 29), ('ボ', 29);
-- Semi-voiced.
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぱ', 25), ('パ', 25);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぴ', 26), ('ピ', 26);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぷ', 27), ('プ', 27);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぺ', 28), ('ペ', 28);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぽ', 29), ('ポ', 29);
-- Small kana search under their full size.
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぁ', 0), ('ァ', 0), ('ｧ', 0);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぃ', 1), ('ィ', 1), ('ｨ', 1);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぅ', 2), ('ゥ', 2), ('ｩ', 2);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぇ', 3), ('ェ', 3), ('ｪ', 3);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ぉ', 4), ('ォ', 4), ('ｫ', 4);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゕ', 5), ('ヵ', 5);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゖ', 8), ('ヶ', 8);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('っ', 17), ('ッ', 17), ('ｯ', 17);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゃ', 35), ('ャ', 35), ('ｬ', 35);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゅ', 37), ('ュ', 37), ('ｭ', 37);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ょ', 39), ('ョ', 39), ('ｮ', 39);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゎ', 45), ('ヮ', 45);
-- ゐ, ゑ and を: their places in the ワ column are inactive buttons, so a reading that began with
-- one of them could never be found there; they go to the button of the vowel they are read as
-- today (イ, エ, オ). No name starts with them in practice.
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゐ', 1), ('ヰ', 1), ('ヸ', 1);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('ゑ', 3), ('ヱ', 3), ('ヹ', 3);
INSERT INTO T_よみがな索引 (かな, よみがなID) VALUES ('を', 4), ('ヲ', 4), ('ｦ', 4), ('ヺ', 4);
