-- Saved queries. The windows open them by name like tables; each view's first column is the
-- key by which a record set finds a row again after writing it. Joins are LEFT joins so that a
-- row with an unknown code still shows, with a null name.

-- Every racer with the names of its codes, by registration number.
CREATE VIEW Q_選手 AS
SELECT
    s.選手ID AS 選手ID,
    s.選手ID AS 登番,
    s.名前 AS 名前,
    s.よみがな AS よみがな,
    y.よみがなID AS よみがなID,
    s.よみがな１桁 AS よみがな１桁,
    s.期 AS 期,
    s.級 AS 級,
    s.所属ID AS 所属ID,
    a.所属名 AS 所属名,
    s.生年 AS 生年,
    s.生月 AS 生月,
    s.生日 AS 生日,
    s.血液型ID AS 血液型ID,
    b.血液型名 AS 血液型名
FROM T_選手 AS s
LEFT JOIN T_所属 AS a ON a.所属ID = s.所属ID
LEFT JOIN T_血液型 AS b ON b.血液型ID = s.血液型ID
LEFT JOIN T_よみがな索引 AS y ON y.かな = substr(s.よみがな, 1, 1)
ORDER BY s.選手ID;

-- The racer master writes the racer's own fields through the view; names of codes are read only.
-- An update may renumber the racer (選手ID); its pick and races follow.
CREATE TRIGGER TR_Q_選手_更新 INSTEAD OF UPDATE ON Q_選手
BEGIN
    UPDATE T_選手 SET
        選手ID = NEW.選手ID,
        名前 = NEW.名前,
        よみがな = NEW.よみがな,
        よみがな１桁 = NEW.よみがな１桁,
        期 = NEW.期,
        級 = NEW.級,
        所属ID = NEW.所属ID,
        生年 = NEW.生年,
        生月 = NEW.生月,
        生日 = NEW.生日,
        血液型ID = NEW.血液型ID
    WHERE 選手ID = OLD.選手ID;
END;

CREATE TRIGGER TR_Q_選手_追加 INSTEAD OF INSERT ON Q_選手
BEGIN
    INSERT INTO T_選手 (選手ID, 名前, よみがな, よみがな１桁, 期, 級, 所属ID, 生年, 生月, 生日, 血液型ID)
    VALUES (NEW.選手ID, NEW.名前, NEW.よみがな, NEW.よみがな１桁, NEW.期, NEW.級, NEW.所属ID, NEW.生年, NEW.生月, NEW.生日, NEW.血液型ID);
END;

CREATE TRIGGER TR_Q_選手_削除 INSTEAD OF DELETE ON Q_選手
BEGIN
    DELETE FROM T_選手 WHERE 選手ID = OLD.選手ID;
END;

-- The racers of the user's short list, with the same columns as Q_選手.
CREATE VIEW Q_選手抽出 AS
SELECT
    s.選手ID AS 選手ID,
    s.選手ID AS 登番,
    s.名前 AS 名前,
    s.よみがな AS よみがな,
    y.よみがなID AS よみがなID,
    s.よみがな１桁 AS よみがな１桁,
    s.期 AS 期,
    s.級 AS 級,
    s.所属ID AS 所属ID,
    a.所属名 AS 所属名,
    s.生年 AS 生年,
    s.生月 AS 生月,
    s.生日 AS 生日,
    s.血液型ID AS 血液型ID,
    b.血液型名 AS 血液型名
FROM T_選手抽出 AS e
JOIN T_選手 AS s ON s.選手ID = e.選手ID
LEFT JOIN T_所属 AS a ON a.所属ID = s.所属ID
LEFT JOIN T_血液型 AS b ON b.血液型ID = s.血液型ID
LEFT JOIN T_よみがな索引 AS y ON y.かな = substr(s.よみがな, 1, 1)
ORDER BY s.選手ID;

-- Editing a listed racer changes the racer itself.
CREATE TRIGGER TR_Q_選手抽出_更新 INSTEAD OF UPDATE ON Q_選手抽出
BEGIN
    UPDATE T_選手 SET
        選手ID = NEW.選手ID,
        名前 = NEW.名前,
        よみがな = NEW.よみがな,
        よみがな１桁 = NEW.よみがな１桁,
        期 = NEW.期,
        級 = NEW.級,
        所属ID = NEW.所属ID,
        生年 = NEW.生年,
        生月 = NEW.生月,
        生日 = NEW.生日,
        血液型ID = NEW.血液型ID
    WHERE 選手ID = OLD.選手ID;
END;

-- Adding puts the racer on the list, first storing it when it is not yet known; a racer already
-- on the list is a duplicate key.
CREATE TRIGGER TR_Q_選手抽出_追加 INSTEAD OF INSERT ON Q_選手抽出
BEGIN
    INSERT INTO T_選手 (選手ID, 名前, よみがな, よみがな１桁, 期, 級, 所属ID, 生年, 生月, 生日, 血液型ID)
    SELECT NEW.選手ID, NEW.名前, NEW.よみがな, NEW.よみがな１桁, NEW.期, NEW.級, NEW.所属ID, NEW.生年, NEW.生月, NEW.生日, NEW.血液型ID
    WHERE NOT EXISTS (SELECT 1 FROM T_選手 WHERE 選手ID = NEW.選手ID);
    INSERT INTO T_選手抽出 (選手ID) VALUES (NEW.選手ID);
END;

-- Deleting takes the racer off the list only.
CREATE TRIGGER TR_Q_選手抽出_削除 INSTEAD OF DELETE ON Q_選手抽出
BEGIN
    DELETE FROM T_選手抽出 WHERE 選手ID = OLD.選手ID;
END;

-- The terms in use, ascending, for the term pickers.
CREATE VIEW Q_期 AS
SELECT DISTINCT 期 AS 期
FROM T_選手
WHERE 期 IS NOT NULL
ORDER BY 期;

-- Registration numbers, ascending, for the 登番 pickers.
CREATE VIEW Q_登番 AS
SELECT 選手ID AS 登番
FROM T_選手
ORDER BY 選手ID;

-- Velodromes with their region names. An update may renumber the velodrome; its races follow.
CREATE VIEW Q_競輪場 AS
SELECT
    k.競輪場ID AS 競輪場ID,
    k.競輪場名 AS 競輪場名,
    k.地区ID AS 地区ID,
    c.地区名 AS 地区名
FROM T_競輪場 AS k
LEFT JOIN T_地区 AS c ON c.地区ID = k.地区ID
ORDER BY k.競輪場ID;

CREATE TRIGGER TR_Q_競輪場_更新 INSTEAD OF UPDATE ON Q_競輪場
BEGIN
    UPDATE T_競輪場 SET
        競輪場ID = NEW.競輪場ID,
        競輪場名 = NEW.競輪場名,
        地区ID = NEW.地区ID
    WHERE 競輪場ID = OLD.競輪場ID;
END;

CREATE TRIGGER TR_Q_競輪場_追加 INSTEAD OF INSERT ON Q_競輪場
BEGIN
    INSERT INTO T_競輪場 (競輪場ID, 競輪場名, 地区ID)
    VALUES (NEW.競輪場ID, NEW.競輪場名, NEW.地区ID);
END;

CREATE TRIGGER TR_Q_競輪場_削除 INSTEAD OF DELETE ON Q_競輪場
BEGIN
    DELETE FROM T_競輪場 WHERE 競輪場ID = OLD.競輪場ID;
END;

-- Registered races, newest survey date first, with each slot's racer. An empty slot (選手n = 0) joins
-- no racer, even when a racer numbered 0 exists. A slot without a racer (empty, or a racer since
-- deleted: 選手n tells the two apart) gives 所属IDn = 0 and zero or empty values, so that every slot
-- column holds a value; a velodrome since deleted gives an empty name.
CREATE VIEW Q_レース履歴 AS
SELECT
    h.履歴ID AS 履歴ID,
    h.調査年 AS 調査年,
    h.調査月 AS 調査月,
    h.調査日 AS 調査日,
    h.競輪場ID AS 競輪場ID,
    COALESCE(k.競輪場名, '') AS 競輪場名,
    h.レースNO AS レースNO,
    h.選手1 AS 選手1,
    COALESCE(s1.所属ID, 0) AS 所属ID1,
    COALESCE(s1.期, 0) AS 期1,
    COALESCE(s1.名前, '') AS 名前1,
    COALESCE(s1.生年, 0) AS 生年1,
    COALESCE(s1.生月, 0) AS 生月1,
    COALESCE(s1.生日, 0) AS 生日1,
    COALESCE(h.結果1, 0) AS 結果1,
    h.選手2 AS 選手2,
    COALESCE(s2.所属ID, 0) AS 所属ID2,
    COALESCE(s2.期, 0) AS 期2,
    COALESCE(s2.名前, '') AS 名前2,
    COALESCE(s2.生年, 0) AS 生年2,
    COALESCE(s2.生月, 0) AS 生月2,
    COALESCE(s2.生日, 0) AS 生日2,
    COALESCE(h.結果2, 0) AS 結果2,
    h.選手3 AS 選手3,
    COALESCE(s3.所属ID, 0) AS 所属ID3,
    COALESCE(s3.期, 0) AS 期3,
    COALESCE(s3.名前, '') AS 名前3,
    COALESCE(s3.生年, 0) AS 生年3,
    COALESCE(s3.生月, 0) AS 生月3,
    COALESCE(s3.生日, 0) AS 生日3,
    COALESCE(h.結果3, 0) AS 結果3,
    h.選手4 AS 選手4,
    COALESCE(s4.所属ID, 0) AS 所属ID4,
    COALESCE(s4.期, 0) AS 期4,
    COALESCE(s4.名前, '') AS 名前4,
    COALESCE(s4.生年, 0) AS 生年4,
    COALESCE(s4.生月, 0) AS 生月4,
    COALESCE(s4.生日, 0) AS 生日4,
    COALESCE(h.結果4, 0) AS 結果4,
    h.選手5 AS 選手5,
    COALESCE(s5.所属ID, 0) AS 所属ID5,
    COALESCE(s5.期, 0) AS 期5,
    COALESCE(s5.名前, '') AS 名前5,
    COALESCE(s5.生年, 0) AS 生年5,
    COALESCE(s5.生月, 0) AS 生月5,
    COALESCE(s5.生日, 0) AS 生日5,
    COALESCE(h.結果5, 0) AS 結果5,
    h.選手6 AS 選手6,
    COALESCE(s6.所属ID, 0) AS 所属ID6,
    COALESCE(s6.期, 0) AS 期6,
    COALESCE(s6.名前, '') AS 名前6,
    COALESCE(s6.生年, 0) AS 生年6,
    COALESCE(s6.生月, 0) AS 生月6,
    COALESCE(s6.生日, 0) AS 生日6,
    COALESCE(h.結果6, 0) AS 結果6,
    h.選手7 AS 選手7,
    COALESCE(s7.所属ID, 0) AS 所属ID7,
    COALESCE(s7.期, 0) AS 期7,
    COALESCE(s7.名前, '') AS 名前7,
    COALESCE(s7.生年, 0) AS 生年7,
    COALESCE(s7.生月, 0) AS 生月7,
    COALESCE(s7.生日, 0) AS 生日7,
    COALESCE(h.結果7, 0) AS 結果7,
    h.選手8 AS 選手8,
    COALESCE(s8.所属ID, 0) AS 所属ID8,
    COALESCE(s8.期, 0) AS 期8,
    COALESCE(s8.名前, '') AS 名前8,
    COALESCE(s8.生年, 0) AS 生年8,
    COALESCE(s8.生月, 0) AS 生月8,
    COALESCE(s8.生日, 0) AS 生日8,
    COALESCE(h.結果8, 0) AS 結果8,
    h.選手9 AS 選手9,
    COALESCE(s9.所属ID, 0) AS 所属ID9,
    COALESCE(s9.期, 0) AS 期9,
    COALESCE(s9.名前, '') AS 名前9,
    COALESCE(s9.生年, 0) AS 生年9,
    COALESCE(s9.生月, 0) AS 生月9,
    COALESCE(s9.生日, 0) AS 生日9,
    COALESCE(h.結果9, 0) AS 結果9
FROM T_レース履歴 AS h
LEFT JOIN T_競輪場 AS k ON k.競輪場ID = h.競輪場ID
LEFT JOIN T_選手 AS s1 ON s1.選手ID = h.選手1 AND h.選手1 <> 0
LEFT JOIN T_選手 AS s2 ON s2.選手ID = h.選手2 AND h.選手2 <> 0
LEFT JOIN T_選手 AS s3 ON s3.選手ID = h.選手3 AND h.選手3 <> 0
LEFT JOIN T_選手 AS s4 ON s4.選手ID = h.選手4 AND h.選手4 <> 0
LEFT JOIN T_選手 AS s5 ON s5.選手ID = h.選手5 AND h.選手5 <> 0
LEFT JOIN T_選手 AS s6 ON s6.選手ID = h.選手6 AND h.選手6 <> 0
LEFT JOIN T_選手 AS s7 ON s7.選手ID = h.選手7 AND h.選手7 <> 0
LEFT JOIN T_選手 AS s8 ON s8.選手ID = h.選手8 AND h.選手8 <> 0
LEFT JOIN T_選手 AS s9 ON s9.選手ID = h.選手9 AND h.選手9 <> 0
ORDER BY h.調査年 DESC, h.調査月 DESC, h.調査日 DESC, h.履歴ID DESC;
