-- Tables of Korvane.mdb. Every table is read in key order (its rowid); the saved queries in
-- views.sql give the orders the windows list.

-- Home prefectures, numbered as the prefecture buttons of the search panels number them.
CREATE TABLE T_所属 (
    所属ID INTEGER PRIMARY KEY,
    所属名 TEXT
);

CREATE TABLE T_血液型 (
    血液型ID INTEGER PRIMARY KEY,
    血液型名 TEXT
);

CREATE TABLE T_地区 (
    地区ID INTEGER PRIMARY KEY,
    地区名 TEXT
);

-- 競輪場ID is typed by the user in the velodrome master, never assigned by the engine.
CREATE TABLE T_競輪場 (
    競輪場ID INTEGER PRIMARY KEY,
    競輪場名 TEXT,
    地区ID INTEGER REFERENCES T_地区 (地区ID)
);

-- 選手ID is the registration number (登番) the user types; 期 and 級 may be unknown.
CREATE TABLE T_選手 (
    選手ID INTEGER PRIMARY KEY,
    名前 TEXT,
    よみがな TEXT,
    よみがな１桁 TEXT,
    期 INTEGER,
    級 TEXT,
    所属ID INTEGER REFERENCES T_所属 (所属ID),
    生年 INTEGER,
    生月 INTEGER,
    生日 INTEGER,
    血液型ID INTEGER REFERENCES T_血液型 (血液型ID)
);

-- The term and prefecture searches filter on these.
CREATE INDEX IX_選手_期 ON T_選手 (期);
CREATE INDEX IX_選手_所属ID ON T_選手 (所属ID);

-- The user's own short list of racers. A racer appears at most once (a second add is a
-- duplicate key); the pick follows a renumbered racer and goes with a deleted one, since a pick
-- of a racer that no longer exists could neither be seen nor removed, yet would count
-- against the list's limit.
CREATE TABLE T_選手抽出 (
    選手ID INTEGER PRIMARY KEY REFERENCES T_選手 (選手ID) ON UPDATE CASCADE ON DELETE CASCADE
);

-- Free roster of persons for individual surveys. The birth fields hold the pickers' texts,
-- e.g. 生年 '1965 (昭和40)'.
CREATE TABLE T_個別名簿 (
    名簿ID INTEGER PRIMARY KEY AUTOINCREMENT,
    名前 TEXT,
    生年 TEXT,
    生月 TEXT,
    生日 TEXT
);

-- One registered race. 選手n is 0 for an empty slot, so the slots carry no foreign key; the
-- history also outlives the racers and velodromes it names. 結果n is the finishing order,
-- 0 until the history window stores one.
CREATE TABLE T_レース履歴 (
    履歴ID INTEGER PRIMARY KEY AUTOINCREMENT,
    調査年 INTEGER,
    調査月 INTEGER,
    調査日 INTEGER,
    競輪場ID INTEGER,
    レースNO INTEGER,
    選手1 INTEGER DEFAULT 0,
    選手2 INTEGER DEFAULT 0,
    選手3 INTEGER DEFAULT 0,
    選手4 INTEGER DEFAULT 0,
    選手5 INTEGER DEFAULT 0,
    選手6 INTEGER DEFAULT 0,
    選手7 INTEGER DEFAULT 0,
    選手8 INTEGER DEFAULT 0,
    選手9 INTEGER DEFAULT 0,
    結果1 NUMERIC DEFAULT 0,
    結果2 NUMERIC DEFAULT 0,
    結果3 NUMERIC DEFAULT 0,
    結果4 NUMERIC DEFAULT 0,
    結果5 NUMERIC DEFAULT 0,
    結果6 NUMERIC DEFAULT 0,
    結果7 NUMERIC DEFAULT 0,
    結果8 NUMERIC DEFAULT 0,
    結果9 NUMERIC DEFAULT 0
);

-- A renumbered racer or velodrome keeps its races. 0 in a race slot means "no racer", so a racer
-- numbered 0 owns no slot, and no racer's slots become empty by a renumbering to 0.
CREATE TRIGGER TR_選手_番号変更 AFTER UPDATE OF 選手ID ON T_選手
WHEN NEW.選手ID IS NOT OLD.選手ID AND OLD.選手ID <> 0 AND NEW.選手ID <> 0
BEGIN
    UPDATE T_レース履歴 SET 選手1 = NEW.選手ID WHERE 選手1 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手2 = NEW.選手ID WHERE 選手2 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手3 = NEW.選手ID WHERE 選手3 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手4 = NEW.選手ID WHERE 選手4 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手5 = NEW.選手ID WHERE 選手5 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手6 = NEW.選手ID WHERE 選手6 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手7 = NEW.選手ID WHERE 選手7 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手8 = NEW.選手ID WHERE 選手8 = OLD.選手ID;
    UPDATE T_レース履歴 SET 選手9 = NEW.選手ID WHERE 選手9 = OLD.選手ID;
END;

CREATE TRIGGER TR_競輪場_番号変更 AFTER UPDATE OF 競輪場ID ON T_競輪場
WHEN NEW.競輪場ID IS NOT OLD.競輪場ID
BEGIN
    UPDATE T_レース履歴 SET 競輪場ID = NEW.競輪場ID WHERE 競輪場ID = OLD.競輪場ID;
END;
