-- Tables of Korvane.mdb. Every table is read in key order (its rowid); the saved queries in
-- views.sql give the orders the windows list.
--
-- The windows read the integer columns as 16-bit values, so each refuses at the write what they
-- could not read: a text, a fraction, a number outside -32768..32767. Each check is named after
-- its column, which the store's message names.

-- The schema version. A file of an earlier version is brought up to date when it is opened.
PRAGMA user_version = 3;

-- Home prefectures, numbered as the prefecture buttons of the search panels number them.
CREATE TABLE T_所属 (
    所属ID INTEGER PRIMARY KEY CONSTRAINT 所属ID CHECK (所属ID IS NULL OR (typeof(所属ID) = 'integer' AND 所属ID BETWEEN -32768 AND 32767)),
    所属名 TEXT
);

CREATE TABLE T_血液型 (
    血液型ID INTEGER PRIMARY KEY CONSTRAINT 血液型ID CHECK (血液型ID IS NULL OR (typeof(血液型ID) = 'integer' AND 血液型ID BETWEEN -32768 AND 32767)),
    血液型名 TEXT
);

CREATE TABLE T_地区 (
    地区ID INTEGER PRIMARY KEY CONSTRAINT 地区ID CHECK (地区ID IS NULL OR (typeof(地区ID) = 'integer' AND 地区ID BETWEEN -32768 AND 32767)),
    地区名 TEXT
);

-- 競輪場ID is typed by the user in the velodrome master, never assigned by the engine.
CREATE TABLE T_競輪場 (
    競輪場ID INTEGER PRIMARY KEY CONSTRAINT 競輪場ID CHECK (競輪場ID IS NULL OR (typeof(競輪場ID) = 'integer' AND 競輪場ID BETWEEN -32768 AND 32767)),
    競輪場名 TEXT,
    地区ID INTEGER REFERENCES T_地区 (地区ID) CONSTRAINT 地区ID CHECK (地区ID IS NULL OR (typeof(地区ID) = 'integer' AND 地区ID BETWEEN -32768 AND 32767))
);

-- 選手ID is the registration number (登番) the user types; 期 and 級 may be unknown.
CREATE TABLE T_選手 (
    選手ID INTEGER PRIMARY KEY CONSTRAINT 選手ID CHECK (選手ID IS NULL OR (typeof(選手ID) = 'integer' AND 選手ID BETWEEN -32768 AND 32767)),
    名前 TEXT,
    よみがな TEXT,
    よみがな１桁 TEXT,
    期 INTEGER CONSTRAINT 期 CHECK (期 IS NULL OR (typeof(期) = 'integer' AND 期 BETWEEN -32768 AND 32767)),
    級 TEXT,
    所属ID INTEGER REFERENCES T_所属 (所属ID) CONSTRAINT 所属ID CHECK (所属ID IS NULL OR (typeof(所属ID) = 'integer' AND 所属ID BETWEEN -32768 AND 32767)),
    生年 INTEGER CONSTRAINT 生年 CHECK (生年 IS NULL OR (typeof(生年) = 'integer' AND 生年 BETWEEN -32768 AND 32767)),
    生月 INTEGER CONSTRAINT 生月 CHECK (生月 IS NULL OR (typeof(生月) = 'integer' AND 生月 BETWEEN -32768 AND 32767)),
    生日 INTEGER CONSTRAINT 生日 CHECK (生日 IS NULL OR (typeof(生日) = 'integer' AND 生日 BETWEEN -32768 AND 32767)),
    血液型ID INTEGER REFERENCES T_血液型 (血液型ID) CONSTRAINT 血液型ID CHECK (血液型ID IS NULL OR (typeof(血液型ID) = 'integer' AND 血液型ID BETWEEN -32768 AND 32767))
);

-- The term and prefecture searches filter on these.
CREATE INDEX IX_選手_期 ON T_選手 (期);
CREATE INDEX IX_選手_所属ID ON T_選手 (所属ID);

-- The user's own short list of racers. A racer appears at most once (a second add is a
-- duplicate key); the pick follows a renumbered racer and goes with a deleted one, since a pick
-- of a racer that no longer exists could neither be seen nor removed, yet would count
-- against the list's limit.
CREATE TABLE T_選手抽出 (
    選手ID INTEGER PRIMARY KEY REFERENCES T_選手 (選手ID) ON UPDATE CASCADE ON DELETE CASCADE CONSTRAINT 選手ID CHECK (選手ID IS NULL OR (typeof(選手ID) = 'integer' AND 選手ID BETWEEN -32768 AND 32767))
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
    調査年 INTEGER CONSTRAINT 調査年 CHECK (調査年 IS NULL OR (typeof(調査年) = 'integer' AND 調査年 BETWEEN -32768 AND 32767)),
    調査月 INTEGER CONSTRAINT 調査月 CHECK (調査月 IS NULL OR (typeof(調査月) = 'integer' AND 調査月 BETWEEN -32768 AND 32767)),
    調査日 INTEGER CONSTRAINT 調査日 CHECK (調査日 IS NULL OR (typeof(調査日) = 'integer' AND 調査日 BETWEEN -32768 AND 32767)),
    競輪場ID INTEGER CONSTRAINT 競輪場ID CHECK (競輪場ID IS NULL OR (typeof(競輪場ID) = 'integer' AND 競輪場ID BETWEEN -32768 AND 32767)),
    レースNO INTEGER CONSTRAINT レースNO CHECK (レースNO IS NULL OR (typeof(レースNO) = 'integer' AND レースNO BETWEEN -32768 AND 32767)),
    選手1 INTEGER DEFAULT 0 CONSTRAINT 選手1 CHECK (選手1 IS NULL OR (typeof(選手1) = 'integer' AND 選手1 BETWEEN -32768 AND 32767)),
    選手2 INTEGER DEFAULT 0 CONSTRAINT 選手2 CHECK (選手2 IS NULL OR (typeof(選手2) = 'integer' AND 選手2 BETWEEN -32768 AND 32767)),
    選手3 INTEGER DEFAULT 0 CONSTRAINT 選手3 CHECK (選手3 IS NULL OR (typeof(選手3) = 'integer' AND 選手3 BETWEEN -32768 AND 32767)),
    選手4 INTEGER DEFAULT 0 CONSTRAINT 選手4 CHECK (選手4 IS NULL OR (typeof(選手4) = 'integer' AND 選手4 BETWEEN -32768 AND 32767)),
    選手5 INTEGER DEFAULT 0 CONSTRAINT 選手5 CHECK (選手5 IS NULL OR (typeof(選手5) = 'integer' AND 選手5 BETWEEN -32768 AND 32767)),
    選手6 INTEGER DEFAULT 0 CONSTRAINT 選手6 CHECK (選手6 IS NULL OR (typeof(選手6) = 'integer' AND 選手6 BETWEEN -32768 AND 32767)),
    選手7 INTEGER DEFAULT 0 CONSTRAINT 選手7 CHECK (選手7 IS NULL OR (typeof(選手7) = 'integer' AND 選手7 BETWEEN -32768 AND 32767)),
    選手8 INTEGER DEFAULT 0 CONSTRAINT 選手8 CHECK (選手8 IS NULL OR (typeof(選手8) = 'integer' AND 選手8 BETWEEN -32768 AND 32767)),
    選手9 INTEGER DEFAULT 0 CONSTRAINT 選手9 CHECK (選手9 IS NULL OR (typeof(選手9) = 'integer' AND 選手9 BETWEEN -32768 AND 32767)),
    結果1 NUMERIC DEFAULT 0 CONSTRAINT 結果1 CHECK (結果1 IS NULL OR typeof(結果1) IN ('integer', 'real')),
    結果2 NUMERIC DEFAULT 0 CONSTRAINT 結果2 CHECK (結果2 IS NULL OR typeof(結果2) IN ('integer', 'real')),
    結果3 NUMERIC DEFAULT 0 CONSTRAINT 結果3 CHECK (結果3 IS NULL OR typeof(結果3) IN ('integer', 'real')),
    結果4 NUMERIC DEFAULT 0 CONSTRAINT 結果4 CHECK (結果4 IS NULL OR typeof(結果4) IN ('integer', 'real')),
    結果5 NUMERIC DEFAULT 0 CONSTRAINT 結果5 CHECK (結果5 IS NULL OR typeof(結果5) IN ('integer', 'real')),
    結果6 NUMERIC DEFAULT 0 CONSTRAINT 結果6 CHECK (結果6 IS NULL OR typeof(結果6) IN ('integer', 'real')),
    結果7 NUMERIC DEFAULT 0 CONSTRAINT 結果7 CHECK (結果7 IS NULL OR typeof(結果7) IN ('integer', 'real')),
    結果8 NUMERIC DEFAULT 0 CONSTRAINT 結果8 CHECK (結果8 IS NULL OR typeof(結果8) IN ('integer', 'real')),
    結果9 NUMERIC DEFAULT 0 CONSTRAINT 結果9 CHECK (結果9 IS NULL OR typeof(結果9) IN ('integer', 'real'))
);

-- The history is listed newest survey date first (Q_レース履歴); read backwards, this index gives that
-- order, ties by 履歴ID (each entry ends with its rowid), so no list of races is sorted when it is read.
CREATE INDEX IX_レース履歴_調査日 ON T_レース履歴 (調査年, 調査月, 調査日);

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
