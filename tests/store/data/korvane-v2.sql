-- A database as version 2 of the program made it: its seed with 60 racers, five picks, roster
-- entries and 12 races (two on one day, a slot of a racer since deleted, an order of 2.5), some rows
-- deleted so that keys have gaps.
PRAGMA user_version=2;
PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE T_所属 (
    所属ID INTEGER PRIMARY KEY CONSTRAINT 所属ID CHECK (所属ID IS NULL OR (typeof(所属ID) = 'integer' AND 所属ID BETWEEN -32768 AND 32767)),
    所属名 TEXT
);
INSERT INTO "T_所属" VALUES(1,'北海道');
INSERT INTO "T_所属" VALUES(2,'青森');
INSERT INTO "T_所属" VALUES(3,'秋田');
INSERT INTO "T_所属" VALUES(4,'岩手');
INSERT INTO "T_所属" VALUES(5,'宮城');
INSERT INTO "T_所属" VALUES(6,'山形');
INSERT INTO "T_所属" VALUES(7,'福島');
INSERT INTO "T_所属" VALUES(8,'群馬');
INSERT INTO "T_所属" VALUES(9,'栃木');
INSERT INTO "T_所属" VALUES(10,'茨城');
INSERT INTO "T_所属" VALUES(11,'埼玉');
INSERT INTO "T_所属" VALUES(12,'東京');
INSERT INTO "T_所属" VALUES(13,'千葉');
INSERT INTO "T_所属" VALUES(14,'神奈川');
INSERT INTO "T_所属" VALUES(15,'山梨');
INSERT INTO "T_所属" VALUES(16,'長野');
INSERT INTO "T_所属" VALUES(17,'静岡');
INSERT INTO "T_所属" VALUES(18,'愛知');
INSERT INTO "T_所属" VALUES(19,'岐阜');
INSERT INTO "T_所属" VALUES(20,'三重');
INSERT INTO "T_所属" VALUES(21,'新潟');
INSERT INTO "T_所属" VALUES(22,'富山');
INSERT INTO "T_所属" VALUES(23,'石川');
INSERT INTO "T_所属" VALUES(24,'福井');
INSERT INTO "T_所属" VALUES(25,'滋賀');
INSERT INTO "T_所属" VALUES(26,'京都');
INSERT INTO "T_所属" VALUES(27,'奈良');
INSERT INTO "T_所属" VALUES(28,'大阪');
INSERT INTO "T_所属" VALUES(29,'和歌山');
INSERT INTO "T_所属" VALUES(30,'兵庫');
INSERT INTO "T_所属" VALUES(31,'岡山');
INSERT INTO "T_所属" VALUES(32,'広島');
INSERT INTO "T_所属" VALUES(33,'山口');
INSERT INTO "T_所属" VALUES(34,'島根');
INSERT INTO "T_所属" VALUES(35,'鳥取');
INSERT INTO "T_所属" VALUES(36,'徳島');
INSERT INTO "T_所属" VALUES(37,'愛媛');
INSERT INTO "T_所属" VALUES(38,'香川');
INSERT INTO "T_所属" VALUES(39,'高知');
INSERT INTO "T_所属" VALUES(40,'福岡');
INSERT INTO "T_所属" VALUES(41,'長崎');
INSERT INTO "T_所属" VALUES(42,'佐賀');
INSERT INTO "T_所属" VALUES(43,'大分');
INSERT INTO "T_所属" VALUES(44,'熊本');
INSERT INTO "T_所属" VALUES(45,'宮崎');
INSERT INTO "T_所属" VALUES(46,'鹿児島');
INSERT INTO "T_所属" VALUES(47,'沖縄');
CREATE TABLE T_血液型 (
    血液型ID INTEGER PRIMARY KEY CONSTRAINT 血液型ID CHECK (血液型ID IS NULL OR (typeof(血液型ID) = 'integer' AND 血液型ID BETWEEN -32768 AND 32767)),
    血液型名 TEXT
);
INSERT INTO "T_血液型" VALUES(1,'A');
INSERT INTO "T_血液型" VALUES(2,'B');
INSERT INTO "T_血液型" VALUES(3,'O');
INSERT INTO "T_血液型" VALUES(4,'AB');
CREATE TABLE T_地区 (
    地区ID INTEGER PRIMARY KEY CONSTRAINT 地区ID CHECK (地区ID IS NULL OR (typeof(地区ID) = 'integer' AND 地区ID BETWEEN -32768 AND 32767)),
    地区名 TEXT
);
INSERT INTO "T_地区" VALUES(1,'北日本');
INSERT INTO "T_地区" VALUES(2,'関東');
INSERT INTO "T_地区" VALUES(3,'南関東');
INSERT INTO "T_地区" VALUES(4,'中部');
INSERT INTO "T_地区" VALUES(5,'近畿');
INSERT INTO "T_地区" VALUES(6,'中国');
INSERT INTO "T_地区" VALUES(7,'四国');
INSERT INTO "T_地区" VALUES(8,'九州');
CREATE TABLE T_競輪場 (
    競輪場ID INTEGER PRIMARY KEY CONSTRAINT 競輪場ID CHECK (競輪場ID IS NULL OR (typeof(競輪場ID) = 'integer' AND 競輪場ID BETWEEN -32768 AND 32767)),
    競輪場名 TEXT,
    地区ID INTEGER REFERENCES T_地区 (地区ID) CONSTRAINT 地区ID CHECK (地区ID IS NULL OR (typeof(地区ID) = 'integer' AND 地区ID BETWEEN -32768 AND 32767))
);
INSERT INTO "T_競輪場" VALUES(1,'函館',1);
INSERT INTO "T_競輪場" VALUES(2,'青森',1);
INSERT INTO "T_競輪場" VALUES(3,'いわき平',1);
INSERT INTO "T_競輪場" VALUES(4,'弥彦',2);
INSERT INTO "T_競輪場" VALUES(5,'前橋',2);
INSERT INTO "T_競輪場" VALUES(6,'取手',2);
INSERT INTO "T_競輪場" VALUES(7,'宇都宮',2);
INSERT INTO "T_競輪場" VALUES(8,'大宮',2);
INSERT INTO "T_競輪場" VALUES(9,'西武園',2);
INSERT INTO "T_競輪場" VALUES(10,'京王閣',2);
INSERT INTO "T_競輪場" VALUES(11,'立川',2);
INSERT INTO "T_競輪場" VALUES(12,'松戸',3);
INSERT INTO "T_競輪場" VALUES(13,'千葉',3);
INSERT INTO "T_競輪場" VALUES(14,'川崎',3);
INSERT INTO "T_競輪場" VALUES(15,'平塚',3);
INSERT INTO "T_競輪場" VALUES(16,'小田原',3);
INSERT INTO "T_競輪場" VALUES(17,'伊東',3);
INSERT INTO "T_競輪場" VALUES(18,'静岡',3);
INSERT INTO "T_競輪場" VALUES(19,'名古屋',4);
INSERT INTO "T_競輪場" VALUES(20,'岐阜',4);
INSERT INTO "T_競輪場" VALUES(21,'大垣',4);
INSERT INTO "T_競輪場" VALUES(22,'豊橋',4);
INSERT INTO "T_競輪場" VALUES(23,'富山',4);
INSERT INTO "T_競輪場" VALUES(24,'松阪',4);
INSERT INTO "T_競輪場" VALUES(25,'四日市',4);
INSERT INTO "T_競輪場" VALUES(26,'福井',5);
INSERT INTO "T_競輪場" VALUES(27,'奈良',5);
INSERT INTO "T_競輪場" VALUES(28,'向日町',5);
INSERT INTO "T_競輪場" VALUES(29,'和歌山',5);
INSERT INTO "T_競輪場" VALUES(30,'岸和田',5);
INSERT INTO "T_競輪場" VALUES(31,'玉野',6);
INSERT INTO "T_競輪場" VALUES(32,'広島',6);
INSERT INTO "T_競輪場" VALUES(33,'防府',6);
INSERT INTO "T_競輪場" VALUES(34,'高松',7);
INSERT INTO "T_競輪場" VALUES(35,'小松島',7);
INSERT INTO "T_競輪場" VALUES(36,'高知',7);
INSERT INTO "T_競輪場" VALUES(37,'松山',7);
INSERT INTO "T_競輪場" VALUES(38,'小倉',8);
INSERT INTO "T_競輪場" VALUES(39,'久留米',8);
INSERT INTO "T_競輪場" VALUES(40,'武雄',8);
INSERT INTO "T_競輪場" VALUES(41,'佐世保',8);
INSERT INTO "T_競輪場" VALUES(42,'別府',8);
INSERT INTO "T_競輪場" VALUES(43,'熊本',8);
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
INSERT INTO "T_選手" VALUES(10001,'相沢忠','アイザワタダシ','ア',115,'A2',1,1996,9,11,3);
INSERT INTO "T_選手" VALUES(10003,'内海俊彦','ウツミトシヒコ','ウ',63,'A1',2,1964,9,11,1);
INSERT INTO "T_選手" VALUES(10006,'天野陽平','アマノヨウヘイ','ア',89,'A3',3,1979,10,6,1);
INSERT INTO "T_選手" VALUES(10008,'六角聡','ロッカクサトシ','ロ',105,'A1',4,1992,6,26,2);
INSERT INTO "T_選手" VALUES(10011,'村雨瞳','ムラサメヒトミ','ム',121,'L1',5,1999,12,1,1);
INSERT INTO "T_選手" VALUES(10016,'北斗光太郎','ホクトコウタロウ','ホ',126,'S2',6,2000,7,3,1);
INSERT INTO "T_選手" VALUES(10041,'天野蒼','アマノアオイ','ア',63,'A3',7,1966,1,12,4);
INSERT INTO "T_選手" VALUES(10063,'六角恭平','ロッカクキョウヘイ','ロ',103,'A2',8,1991,10,11,2);
INSERT INTO "T_選手" VALUES(10064,'鷲尾勇気','わしおゆうき','わ',103,'S2',9,1991,8,20,1);
INSERT INTO "T_選手" VALUES(10074,'高坂誠','タカサカマコト','タ',102,'A2',10,1991,12,7,1);
INSERT INTO "T_選手" VALUES(10076,'堀川晃','ホリカワアキラ','ホ',61,'S1',11,1964,5,4,3);
INSERT INTO "T_選手" VALUES(10099,'瀬川忠','セガワタダシ','セ',83,'S2',12,1976,12,20,1);
INSERT INTO "T_選手" VALUES(10111,'堀川一輝','ほりかわかずき','ほ',99,'A2',13,1989,6,30,1);
INSERT INTO "T_選手" VALUES(10112,'吉良崇','キラタカシ','キ',70,'S2',14,1971,4,11,1);
INSERT INTO "T_選手" VALUES(10127,'日向一輝','ヒナタカズキ','ヒ',88,'S2',15,1978,3,13,4);
INSERT INTO "T_選手" VALUES(10128,'稲穂健吾','イナホケンゴ','イ',96,'S2',16,1985,12,18,1);
INSERT INTO "T_選手" VALUES(10141,'園部徹','ソノベトオル','ソ',121,'A2',17,1999,4,29,2);
INSERT INTO "T_選手" VALUES(10145,'羽柴悠真','ハシバユウマ','ハ',66,'A1',18,1970,4,24,3);
INSERT INTO "T_選手" VALUES(10161,'坂東一馬','バンドウカズマ','バ',103,'A3',19,1990,7,2,3);
INSERT INTO "T_選手" VALUES(10172,'坂東忠','バンドウタダシ','バ',90,'A2',20,1984,11,6,2);
INSERT INTO "T_選手" VALUES(10175,'坂東英樹','バンドウヒデキ','バ',70,'S1',21,1968,12,17,3);
INSERT INTO "T_選手" VALUES(10177,'桐生航','キリュウワタル','キ',122,'A2',22,2001,11,16,1);
INSERT INTO "T_選手" VALUES(10178,'桐生聡','キリュウサトシ','キ',81,'A2',23,1977,5,29,1);
INSERT INTO "T_選手" VALUES(10204,'瀬川秀平','セガワシュウヘイ','セ',62,'S2',24,1969,12,7,3);
INSERT INTO "T_選手" VALUES(10210,'池端龍之介','イケハタリュウノスケ','イ',78,'A2',25,1974,5,10,2);
INSERT INTO "T_選手" VALUES(10228,'中条大輝','ナカジョウダイキ','ナ',68,'S1',26,1967,2,27,3);
INSERT INTO "T_選手" VALUES(10234,'望月陽平','モチヅキヨウヘイ','モ',74,'S2',27,1972,10,22,2);
INSERT INTO "T_選手" VALUES(10244,'梅園拓真','ウメゾノタクマ','ウ',124,'A2',28,2002,1,24,1);
INSERT INTO "T_選手" VALUES(10259,'大道悠真','ダイドウユウマ','ダ',101,'S2',29,1989,6,23,4);
INSERT INTO "T_選手" VALUES(10269,'須藤勇気','スドウユウキ','ス',83,'S2',30,1981,5,28,2);
INSERT INTO "T_選手" VALUES(10271,'三雲亮介','ミクモリョウスケ','ミ',107,'S1',31,1991,12,19,1);
INSERT INTO "T_選手" VALUES(10289,'三雲智之','ミクモトモユキ','ミ',93,'S1',32,1986,4,22,2);
INSERT INTO "T_選手" VALUES(10308,'池端颯太','イケハタソウタ','イ',111,'S1',33,1995,6,7,1);
INSERT INTO "T_選手" VALUES(10321,'鷲尾徹','ワシオトオル','ワ',101,'A1',34,1988,12,24,2);
INSERT INTO "T_選手" VALUES(10322,'雲井英樹','クモイヒデキ','ク',70,'S1',35,1969,10,5,1);
INSERT INTO "T_選手" VALUES(10324,'久我剛','クガツヨシ','ク',91,'A3',36,1982,7,30,1);
INSERT INTO "T_選手" VALUES(10328,'村雨豪','ムラサメゴウ','ム',127,'A3',37,2001,12,23,1);
INSERT INTO "T_選手" VALUES(10359,'六角恭平','ロッカクキョウヘイ','ロ',89,'A2',38,1983,3,18,3);
INSERT INTO "T_選手" VALUES(10360,'渡会大輝','ワタライダイキ','ワ',111,'SS',39,1995,2,27,3);
INSERT INTO "T_選手" VALUES(10363,'北斗源太','ホクトゲンタ','ホ',66,'S1',40,1968,10,17,3);
INSERT INTO "T_選手" VALUES(10364,'梅園源太','ウメゾノゲンタ','ウ',119,'A3',41,1999,1,26,3);
INSERT INTO "T_選手" VALUES(10368,'舟木秀平','フナキシュウヘイ','フ',88,'A1',42,1982,6,19,3);
INSERT INTO "T_選手" VALUES(10373,'川霧直樹','カワギリナオキ','カ',109,'S1',43,1995,8,11,1);
INSERT INTO "T_選手" VALUES(10374,'高坂誠','タカサカマコト','タ',114,'A2',44,1996,7,15,4);
INSERT INTO "T_選手" VALUES(10398,'権田俊彦','ゴンダトシヒコ','ゴ',67,'S2',45,1970,11,1,1);
INSERT INTO "T_選手" VALUES(10412,'南雲慎也','ナグモシンヤ','ナ',94,'A1',46,1983,6,1,2);
INSERT INTO "T_選手" VALUES(10425,'目黒晃','メグロアキラ','メ',62,'S2',47,1966,10,8,2);
INSERT INTO "T_選手" VALUES(10428,'織部恭平','オリベキョウヘイ','オ',108,'S2',17,1990,11,15,1);
INSERT INTO "T_選手" VALUES(10446,'日向翔','ヒナタショウ','ヒ',86,'S1',23,1981,8,6,2);
INSERT INTO "T_選手" VALUES(10465,'秋葉蒼','アキバアオイ','ア',70,'A1',20,1973,9,17,1);
INSERT INTO "T_選手" VALUES(10477,'逸見航','ヘンミワタル','ヘ',72,'S1',30,1969,10,1,2);
INSERT INTO "T_選手" VALUES(10480,'武藤忠','ムトウタダシ','ム',77,'S2',15,1975,11,17,4);
INSERT INTO "T_選手" VALUES(10485,'冷泉聡','レイゼイサトシ','レ',106,'A3',17,1993,3,10,1);
INSERT INTO "T_選手" VALUES(10488,'八雲智之','ヤクモトモユキ','ヤ',91,'S2',36,1982,8,3,3);
INSERT INTO "T_選手" VALUES(10519,'榊智之','サカキトモユキ','サ',112,'A1',13,1993,8,19,1);
INSERT INTO "T_選手" VALUES(10523,'東雲蒼','シノノメアオイ','シ',63,'S2',46,1968,12,7,2);
INSERT INTO "T_選手" VALUES(10535,'高坂一馬','タカサカカズマ','タ',68,'S2',7,1967,2,5,1);
INSERT INTO "T_選手" VALUES(10563,'千早徹','チハヤトオル','チ',116,'S2',2,1999,3,7,1);
INSERT INTO "T_選手" VALUES(10567,'園部健吾','ソノベケンゴ','ソ',62,'S1',28,1969,10,9,3);
INSERT INTO "T_選手" VALUES(10593,'相沢崇','アイザワタカシ','ア',96,'S1',1,1985,10,2,4);
CREATE TABLE T_選手抽出 (
    選手ID INTEGER PRIMARY KEY REFERENCES T_選手 (選手ID) ON UPDATE CASCADE ON DELETE CASCADE CONSTRAINT 選手ID CHECK (選手ID IS NULL OR (typeof(選手ID) = 'integer' AND 選手ID BETWEEN -32768 AND 32767))
);
INSERT INTO "T_選手抽出" VALUES(10076);
INSERT INTO "T_選手抽出" VALUES(10099);
INSERT INTO "T_選手抽出" VALUES(10111);
INSERT INTO "T_選手抽出" VALUES(10112);
INSERT INTO "T_選手抽出" VALUES(10127);
CREATE TABLE T_個別名簿 (
    名簿ID INTEGER PRIMARY KEY AUTOINCREMENT,
    名前 TEXT,
    生年 TEXT,
    生月 TEXT,
    生日 TEXT
);
INSERT INTO "T_個別名簿" VALUES(1,'見本　一郎','1965 (昭和40)','4','10');
INSERT INTO "T_個別名簿" VALUES(2,'見本　花子','1972 (昭和47)','11','3');
INSERT INTO "T_個別名簿" VALUES(3,'見本　次郎','1990 (平成2)','2','28');
INSERT INTO "T_個別名簿" VALUES(5,'山田　花子','1988 (昭和63)','12','31');
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
INSERT INTO "T_レース履歴" VALUES(1,2025,2,8,2,2,10003,10008,10016,10064,10099,10141,10172,9999,0,1,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(3,2024,4,22,4,4,10008,10063,10099,10161,10228,10360,10412,9999,0,1,2.5,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(4,2025,6,1,5,5,10011,10074,10127,10204,10308,10465,10567,0,0,1,2,3,4,5,6,7,0,0);
INSERT INTO "T_レース履歴" VALUES(5,2026,6,8,6,6,10016,10099,10145,10259,10363,10001,10099,9999,0,0,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(6,2024,7,15,7,7,10041,10112,10175,10321,10425,10099,10210,9999,0,1,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(7,2025,8,22,8,8,10063,10128,10204,10360,10488,10178,10359,9999,0,1,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(8,2026,9,1,9,9,10064,10145,10234,10374,10001,10321,10477,0,0,1,2,3,4,5,6,7,0,0);
INSERT INTO "T_レース履歴" VALUES(9,2025,6,1,10,10,10074,10172,10269,10446,10063,10398,10008,9999,0,1,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(10,2025,11,15,11,11,10076,10177,10308,10488,10127,10523,10141,9999,0,0,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(11,2026,12,22,12,12,10099,10204,10324,10567,10177,10041,10269,9999,0,1,2,3,4,5,6,7,8,0);
INSERT INTO "T_レース履歴" VALUES(12,2024,1,1,13,1,10111,10228,10360,10008,10259,10145,10373,0,0,1,2,3,4,5,6,7,0,0);
INSERT INTO "T_レース履歴" VALUES(13,2025,2,8,14,2,10112,10244,10368,10064,10324,10259,10523,9999,0,1,2,3,4,5,6,7,8,0);
CREATE TABLE T_よみがな索引 (
    かな TEXT PRIMARY KEY,
    よみがなID INTEGER NOT NULL
);
INSERT INTO "T_よみがな索引" VALUES('あ',0);
INSERT INTO "T_よみがな索引" VALUES('ア',0);
INSERT INTO "T_よみがな索引" VALUES('ｱ',0);
INSERT INTO "T_よみがな索引" VALUES('い',1);
INSERT INTO "T_よみがな索引" VALUES('イ',1);
INSERT INTO "T_よみがな索引" VALUES('ｲ',1);
INSERT INTO "T_よみがな索引" VALUES('う',2);
INSERT INTO "T_よみがな索引" VALUES('ウ',2);
INSERT INTO "T_よみがな索引" VALUES('ｳ',2);
INSERT INTO "T_よみがな索引" VALUES('え',3);
INSERT INTO "T_よみがな索引" VALUES('エ',3);
INSERT INTO "T_よみがな索引" VALUES('ｴ',3);
INSERT INTO "T_よみがな索引" VALUES('お',4);
INSERT INTO "T_よみがな索引" VALUES('オ',4);
INSERT INTO "T_よみがな索引" VALUES('ｵ',4);
INSERT INTO "T_よみがな索引" VALUES('か',5);
INSERT INTO "T_よみがな索引" VALUES('カ',5);
INSERT INTO "T_よみがな索引" VALUES('ｶ',5);
INSERT INTO "T_よみがな索引" VALUES('き',6);
INSERT INTO "T_よみがな索引" VALUES('キ',6);
INSERT INTO "T_よみがな索引" VALUES('ｷ',6);
INSERT INTO "T_よみがな索引" VALUES('く',7);
INSERT INTO "T_よみがな索引" VALUES('ク',7);
INSERT INTO "T_よみがな索引" VALUES('ｸ',7);
INSERT INTO "T_よみがな索引" VALUES('け',8);
INSERT INTO "T_よみがな索引" VALUES('ケ',8);
INSERT INTO "T_よみがな索引" VALUES('ｹ',8);
INSERT INTO "T_よみがな索引" VALUES('こ',9);
INSERT INTO "T_よみがな索引" VALUES('コ',9);
INSERT INTO "T_よみがな索引" VALUES('ｺ',9);
INSERT INTO "T_よみがな索引" VALUES('さ',10);
INSERT INTO "T_よみがな索引" VALUES('サ',10);
INSERT INTO "T_よみがな索引" VALUES('ｻ',10);
INSERT INTO "T_よみがな索引" VALUES('し',11);
INSERT INTO "T_よみがな索引" VALUES('シ',11);
INSERT INTO "T_よみがな索引" VALUES('ｼ',11);
INSERT INTO "T_よみがな索引" VALUES('す',12);
INSERT INTO "T_よみがな索引" VALUES('ス',12);
INSERT INTO "T_よみがな索引" VALUES('ｽ',12);
INSERT INTO "T_よみがな索引" VALUES('せ',13);
INSERT INTO "T_よみがな索引" VALUES('セ',13);
INSERT INTO "T_よみがな索引" VALUES('ｾ',13);
INSERT INTO "T_よみがな索引" VALUES('そ',14);
INSERT INTO "T_よみがな索引" VALUES('ソ',14);
INSERT INTO "T_よみがな索引" VALUES('ｿ',14);
INSERT INTO "T_よみがな索引" VALUES('た',15);
INSERT INTO "T_よみがな索引" VALUES('タ',15);
INSERT INTO "T_よみがな索引" VALUES('ﾀ',15);
INSERT INTO "T_よみがな索引" VALUES('ち',16);
INSERT INTO "T_よみがな索引" VALUES('チ',16);
INSERT INTO "T_よみがな索引" VALUES('ﾁ',16);
INSERT INTO "T_よみがな索引" VALUES('つ',17);
INSERT INTO "T_よみがな索引" VALUES('ツ',17);
INSERT INTO "T_よみがな索引" VALUES('ﾂ',17);
INSERT INTO "T_よみがな索引" VALUES('て',18);
INSERT INTO "T_よみがな索引" VALUES('テ',18);
INSERT INTO "T_よみがな索引" VALUES('ﾃ',18);
INSERT INTO "T_よみがな索引" VALUES('と',19);
INSERT INTO "T_よみがな索引" VALUES('ト',19);
INSERT INTO "T_よみがな索引" VALUES('ﾄ',19);
INSERT INTO "T_よみがな索引" VALUES('な',20);
INSERT INTO "T_よみがな索引" VALUES('ナ',20);
INSERT INTO "T_よみがな索引" VALUES('ﾅ',20);
INSERT INTO "T_よみがな索引" VALUES('に',21);
INSERT INTO "T_よみがな索引" VALUES('ニ',21);
INSERT INTO "T_よみがな索引" VALUES('ﾆ',21);
INSERT INTO "T_よみがな索引" VALUES('ぬ',22);
INSERT INTO "T_よみがな索引" VALUES('ヌ',22);
INSERT INTO "T_よみがな索引" VALUES('ﾇ',22);
INSERT INTO "T_よみがな索引" VALUES('ね',23);
INSERT INTO "T_よみがな索引" VALUES('ネ',23);
INSERT INTO "T_よみがな索引" VALUES('ﾈ',23);
INSERT INTO "T_よみがな索引" VALUES('の',24);
INSERT INTO "T_よみがな索引" VALUES('ノ',24);
INSERT INTO "T_よみがな索引" VALUES('ﾉ',24);
INSERT INTO "T_よみがな索引" VALUES('は',25);
INSERT INTO "T_よみがな索引" VALUES('ハ',25);
INSERT INTO "T_よみがな索引" VALUES('ﾊ',25);
INSERT INTO "T_よみがな索引" VALUES('ひ',26);
INSERT INTO "T_よみがな索引" VALUES('ヒ',26);
INSERT INTO "T_よみがな索引" VALUES('ﾋ',26);
INSERT INTO "T_よみがな索引" VALUES('ふ',27);
INSERT INTO "T_よみがな索引" VALUES('フ',27);
INSERT INTO "T_よみがな索引" VALUES('ﾌ',27);
INSERT INTO "T_よみがな索引" VALUES('へ',28);
INSERT INTO "T_よみがな索引" VALUES('ヘ',28);
INSERT INTO "T_よみがな索引" VALUES('ﾍ',28);
INSERT INTO "T_よみがな索引" VALUES('ほ',29);
INSERT INTO "T_よみがな索引" VALUES('ホ',29);
INSERT INTO "T_よみがな索引" VALUES('ﾎ',29);
INSERT INTO "T_よみがな索引" VALUES('ま',30);
INSERT INTO "T_よみがな索引" VALUES('マ',30);
INSERT INTO "T_よみがな索引" VALUES('ﾏ',30);
INSERT INTO "T_よみがな索引" VALUES('み',31);
INSERT INTO "T_よみがな索引" VALUES('ミ',31);
INSERT INTO "T_よみがな索引" VALUES('ﾐ',31);
INSERT INTO "T_よみがな索引" VALUES('む',32);
INSERT INTO "T_よみがな索引" VALUES('ム',32);
INSERT INTO "T_よみがな索引" VALUES('ﾑ',32);
INSERT INTO "T_よみがな索引" VALUES('め',33);
INSERT INTO "T_よみがな索引" VALUES('メ',33);
INSERT INTO "T_よみがな索引" VALUES('ﾒ',33);
INSERT INTO "T_よみがな索引" VALUES('も',34);
INSERT INTO "T_よみがな索引" VALUES('モ',34);
INSERT INTO "T_よみがな索引" VALUES('ﾓ',34);
INSERT INTO "T_よみがな索引" VALUES('や',35);
INSERT INTO "T_よみがな索引" VALUES('ヤ',35);
INSERT INTO "T_よみがな索引" VALUES('ﾔ',35);
INSERT INTO "T_よみがな索引" VALUES('ゆ',37);
INSERT INTO "T_よみがな索引" VALUES('ユ',37);
INSERT INTO "T_よみがな索引" VALUES('ﾕ',37);
INSERT INTO "T_よみがな索引" VALUES('よ',39);
INSERT INTO "T_よみがな索引" VALUES('ヨ',39);
INSERT INTO "T_よみがな索引" VALUES('ﾖ',39);
INSERT INTO "T_よみがな索引" VALUES('ら',40);
INSERT INTO "T_よみがな索引" VALUES('ラ',40);
INSERT INTO "T_よみがな索引" VALUES('ﾗ',40);
INSERT INTO "T_よみがな索引" VALUES('り',41);
INSERT INTO "T_よみがな索引" VALUES('リ',41);
INSERT INTO "T_よみがな索引" VALUES('ﾘ',41);
INSERT INTO "T_よみがな索引" VALUES('る',42);
INSERT INTO "T_よみがな索引" VALUES('ル',42);
INSERT INTO "T_よみがな索引" VALUES('ﾙ',42);
INSERT INTO "T_よみがな索引" VALUES('れ',43);
INSERT INTO "T_よみがな索引" VALUES('レ',43);
INSERT INTO "T_よみがな索引" VALUES('ﾚ',43);
INSERT INTO "T_よみがな索引" VALUES('ろ',44);
INSERT INTO "T_よみがな索引" VALUES('ロ',44);
INSERT INTO "T_よみがな索引" VALUES('ﾛ',44);
INSERT INTO "T_よみがな索引" VALUES('わ',45);
INSERT INTO "T_よみがな索引" VALUES('ワ',45);
INSERT INTO "T_よみがな索引" VALUES('ﾜ',45);
INSERT INTO "T_よみがな索引" VALUES('ヷ',45);
INSERT INTO "T_よみがな索引" VALUES('ん',49);
INSERT INTO "T_よみがな索引" VALUES('ン',49);
INSERT INTO "T_よみがな索引" VALUES('ﾝ',49);
INSERT INTO "T_よみがな索引" VALUES('ゔ',2);
INSERT INTO "T_よみがな索引" VALUES('ヴ',2);
INSERT INTO "T_よみがな索引" VALUES('が',5);
INSERT INTO "T_よみがな索引" VALUES('ガ',5);
INSERT INTO "T_よみがな索引" VALUES('ぎ',6);
INSERT INTO "T_よみがな索引" VALUES('ギ',6);
INSERT INTO "T_よみがな索引" VALUES('ぐ',7);
INSERT INTO "T_よみがな索引" VALUES('グ',7);
INSERT INTO "T_よみがな索引" VALUES('げ',8);
INSERT INTO "T_よみがな索引" VALUES('ゲ',8);
INSERT INTO "T_よみがな索引" VALUES('ご',9);
INSERT INTO "T_よみがな索引" VALUES('ゴ',9);
INSERT INTO "T_よみがな索引" VALUES('ざ',10);
INSERT INTO "T_よみがな索引" VALUES('ザ',10);
INSERT INTO "T_よみがな索引" VALUES('じ',11);
INSERT INTO "T_よみがな索引" VALUES('ジ',11);
INSERT INTO "T_よみがな索引" VALUES('ず',12);
INSERT INTO "T_よみがな索引" VALUES('ズ',12);
INSERT INTO "T_よみがな索引" VALUES('ぜ',13);
INSERT INTO "T_よみがな索引" VALUES('ゼ',13);
INSERT INTO "T_よみがな索引" VALUES('ぞ',14);
INSERT INTO "T_よみがな索引" VALUES('ゾ',14);
INSERT INTO "T_よみがな索引" VALUES('だ',15);
INSERT INTO "T_よみがな索引" VALUES('ダ',15);
INSERT INTO "T_よみがな索引" VALUES('ぢ',16);
INSERT INTO "T_よみがな索引" VALUES('ヂ',16);
INSERT INTO "T_よみがな索引" VALUES('づ',17);
INSERT INTO "T_よみがな索引" VALUES('ヅ',17);
INSERT INTO "T_よみがな索引" VALUES('で',18);
INSERT INTO "T_よみがな索引" VALUES('デ',18);
INSERT INTO "T_よみがな索引" VALUES('ど',19);
INSERT INTO "T_よみがな索引" VALUES('ド',19);
INSERT INTO "T_よみがな索引" VALUES('ば',25);
INSERT INTO "T_よみがな索引" VALUES('バ',25);
INSERT INTO "T_よみがな索引" VALUES('び',26);
INSERT INTO "T_よみがな索引" VALUES('ビ',26);
INSERT INTO "T_よみがな索引" VALUES('ぶ',27);
INSERT INTO "T_よみがな索引" VALUES('ブ',27);
INSERT INTO "T_よみがな索引" VALUES('べ',28);
INSERT INTO "T_よみがな索引" VALUES('ベ',28);
INSERT INTO "T_よみがな索引" VALUES('ぼ',29);
INSERT INTO "T_よみがな索引" VALUES('ボ',29);
INSERT INTO "T_よみがな索引" VALUES('ぱ',25);
INSERT INTO "T_よみがな索引" VALUES('パ',25);
INSERT INTO "T_よみがな索引" VALUES('ぴ',26);
INSERT INTO "T_よみがな索引" VALUES('ピ',26);
INSERT INTO "T_よみがな索引" VALUES('ぷ',27);
INSERT INTO "T_よみがな索引" VALUES('プ',27);
INSERT INTO "T_よみがな索引" VALUES('ぺ',28);
INSERT INTO "T_よみがな索引" VALUES('ペ',28);
INSERT INTO "T_よみがな索引" VALUES('ぽ',29);
INSERT INTO "T_よみがな索引" VALUES('ポ',29);
INSERT INTO "T_よみがな索引" VALUES('ぁ',0);
INSERT INTO "T_よみがな索引" VALUES('ァ',0);
INSERT INTO "T_よみがな索引" VALUES('ｧ',0);
INSERT INTO "T_よみがな索引" VALUES('ぃ',1);
INSERT INTO "T_よみがな索引" VALUES('ィ',1);
INSERT INTO "T_よみがな索引" VALUES('ｨ',1);
INSERT INTO "T_よみがな索引" VALUES('ぅ',2);
INSERT INTO "T_よみがな索引" VALUES('ゥ',2);
INSERT INTO "T_よみがな索引" VALUES('ｩ',2);
INSERT INTO "T_よみがな索引" VALUES('ぇ',3);
INSERT INTO "T_よみがな索引" VALUES('ェ',3);
INSERT INTO "T_よみがな索引" VALUES('ｪ',3);
INSERT INTO "T_よみがな索引" VALUES('ぉ',4);
INSERT INTO "T_よみがな索引" VALUES('ォ',4);
INSERT INTO "T_よみがな索引" VALUES('ｫ',4);
INSERT INTO "T_よみがな索引" VALUES('ゕ',5);
INSERT INTO "T_よみがな索引" VALUES('ヵ',5);
INSERT INTO "T_よみがな索引" VALUES('ゖ',8);
INSERT INTO "T_よみがな索引" VALUES('ヶ',8);
INSERT INTO "T_よみがな索引" VALUES('っ',17);
INSERT INTO "T_よみがな索引" VALUES('ッ',17);
INSERT INTO "T_よみがな索引" VALUES('ｯ',17);
INSERT INTO "T_よみがな索引" VALUES('ゃ',35);
INSERT INTO "T_よみがな索引" VALUES('ャ',35);
INSERT INTO "T_よみがな索引" VALUES('ｬ',35);
INSERT INTO "T_よみがな索引" VALUES('ゅ',37);
INSERT INTO "T_よみがな索引" VALUES('ュ',37);
INSERT INTO "T_よみがな索引" VALUES('ｭ',37);
INSERT INTO "T_よみがな索引" VALUES('ょ',39);
INSERT INTO "T_よみがな索引" VALUES('ョ',39);
INSERT INTO "T_よみがな索引" VALUES('ｮ',39);
INSERT INTO "T_よみがな索引" VALUES('ゎ',45);
INSERT INTO "T_よみがな索引" VALUES('ヮ',45);
INSERT INTO "T_よみがな索引" VALUES('ゐ',1);
INSERT INTO "T_よみがな索引" VALUES('ヰ',1);
INSERT INTO "T_よみがな索引" VALUES('ヸ',1);
INSERT INTO "T_よみがな索引" VALUES('ゑ',3);
INSERT INTO "T_よみがな索引" VALUES('ヱ',3);
INSERT INTO "T_よみがな索引" VALUES('ヹ',3);
INSERT INTO "T_よみがな索引" VALUES('を',4);
INSERT INTO "T_よみがな索引" VALUES('ヲ',4);
INSERT INTO "T_よみがな索引" VALUES('ｦ',4);
INSERT INTO "T_よみがな索引" VALUES('ヺ',4);
DELETE FROM sqlite_sequence;
INSERT INTO sqlite_sequence VALUES('T_個別名簿',5);
INSERT INTO sqlite_sequence VALUES('T_レース履歴',14);
CREATE INDEX IX_選手_期 ON T_選手 (期);
CREATE INDEX IX_選手_所属ID ON T_選手 (所属ID);
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
CREATE TRIGGER TR_Q_選手抽出_追加 INSTEAD OF INSERT ON Q_選手抽出
BEGIN
    INSERT INTO T_選手 (選手ID, 名前, よみがな, よみがな１桁, 期, 級, 所属ID, 生年, 生月, 生日, 血液型ID)
    SELECT NEW.選手ID, NEW.名前, NEW.よみがな, NEW.よみがな１桁, NEW.期, NEW.級, NEW.所属ID, NEW.生年, NEW.生月, NEW.生日, NEW.血液型ID
    WHERE NOT EXISTS (SELECT 1 FROM T_選手 WHERE 選手ID = NEW.選手ID);
    INSERT INTO T_選手抽出 (選手ID) VALUES (NEW.選手ID);
END;
CREATE TRIGGER TR_Q_選手抽出_削除 INSTEAD OF DELETE ON Q_選手抽出
BEGIN
    DELETE FROM T_選手抽出 WHERE 選手ID = OLD.選手ID;
END;
CREATE VIEW Q_期 AS
SELECT DISTINCT 期 AS 期
FROM T_選手
WHERE 期 IS NOT NULL
ORDER BY 期;
CREATE VIEW Q_登番 AS
SELECT 選手ID AS 登番
FROM T_選手
ORDER BY 選手ID;
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
COMMIT;
