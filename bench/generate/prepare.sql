-- Library-scale generator, first step: the sizes and key ranges, the word lists and
-- helpers the other steps share, and the bulk-load set-up (indexes and foreign keys of the
-- big tables are put aside and rebuilt by finish.sql).
--
-- psql variables: scale (0.001 .. 5), seed (integer), today (yyyy-mm-dd, the day the data
-- is built around: valid cards are valid on it, the history ends the day before).

\set ON_ERROR_STOP 1
SET client_min_messages = warning;

BEGIN;

-- ---------------------------------------------------------------------------------------
-- Sizes and key ranges. The ranges are contiguous numbers: a card is 'D' || n and its
-- reader 'R' || n, an item's barcode 'B' || n and its property number 'P' || n, a title's
-- marc_rec_no '000' || n (ten digits). bench_keys stays in the database so that a
-- benchmark can draw keys with  prefix || (first_no + floor(random() * count)).
-- ---------------------------------------------------------------------------------------
CREATE TABLE bench_gen_param (
    name    text PRIMARY KEY,
    value   text NOT NULL
);

CREATE TABLE bench_keys (
    name        text PRIMARY KEY,
    prefix      text NOT NULL,
    first_no    bigint NOT NULL,
    last_no     bigint NOT NULL,
    count       bigint GENERATED ALWAYS AS (last_no - first_no + 1) STORED,
    what        text NOT NULL
);

INSERT INTO bench_gen_param (name, value)
SELECT p.name, p.value
  FROM (VALUES
    ('scale',    (:'scale')::numeric::text),
    ('seed',     (:'seed')::bigint::text),
    ('today',    (:'today')::date::text),
    ('readers',  round(1000000 * (:'scale')::numeric)::text),
    ('titles',   round(300000 * (:'scale')::numeric)::text),
    ('items',    round(1000000 * (:'scale')::numeric)::text),
    -- reading events of the history year: visits, books counted, readers with books
    ('visits',   round(4000000 * (:'scale')::numeric)::text),
    ('books',    round(3000000 * (:'scale')::numeric)::text),
    ('rbooks',   round(3000000 * (:'scale')::numeric)::text),
    -- the reading logs keep the last days of the history
    ('log_days', '30'),
    ('built',    to_char(now(), 'YYYY-MM-DD HH24:MI:SS'))
  ) p(name, value);

-- Shares of each population; each range follows the one before it.
INSERT INTO bench_keys (name, prefix, first_no, last_no, what)
SELECT s.name, s.prefix,
       s.base + round(s.n * (s.cum - s.share)) + 1,
       s.base + round(s.n * s.cum),
       s.what
  FROM (SELECT v.*, sum(v.share) OVER (PARTITION BY v.prefix ORDER BY v.ord) AS cum
          FROM (SELECT v.*, (SELECT value::numeric FROM bench_gen_param
                              WHERE name = CASE v.prefix WHEN 'D' THEN 'readers'
                                                         WHEN 'B' THEN 'items' ELSE 'titles' END) AS n
                  FROM (VALUES
    (1,  'card_ok',           'D', 2000000, 0.90,
         'admitted in every mode at R1 and R2: local type, valid card, no violation, no debt, no photocopy loan'),
    (2,  'card_copy',         'D', 2000000, 0.02,
         'admitted for reading; each holds one photocopy loan (item_r1_lent, item_r2_lent), some overdue'),
    (3,  'card_nonlocal',     'D', 2000000, 0.02, 'reader type 90, not local in the reading rooms'),
    (4,  'card_deregistered', 'D', 2000000, 0.01, 'reader deregistered (redr_flag 0)'),
    (5,  'card_cancelled',    'D', 2000000, 0.01, 'card cancelled (cert_flag 0)'),
    (6,  'card_lost',         'D', 2000000, 0.01, 'card reported lost (cert_flag 2, cert_loss row)'),
    (7,  'card_expired',      'D', 2000000, 0.01, 'card validity ended (types 10 and 20, whose validity is checked)'),
    (8,  'card_violation',    'D', 2000000, 0.01, 'one running suspension (volt_deal_flag 1 or 3)'),
    (9,  'card_debt',         'D', 2000000, 0.01, 'owes more than the type allows (unsettled overdue charge)'),
    (1,  'item_r1',           'B', 2000000, 0.485, 'at R1 on the shelf (reading only, price below 300)'),
    (2,  'item_r1_lent',      'B', 2000000, 0.015, 'at R1, lent for photocopying (COPY01, every fourth COPY02)'),
    (3,  'item_r2',           'B', 2000000, 0.295, 'at R2 on the shelf'),
    (4,  'item_r2_lent',      'B', 2000000, 0.005, 'at R2, lent for photocopying (COPY01)'),
    (5,  'item_s1',           'B', 2000000, 0.12,  'in the stack S1 on the shelf (refused at the reading rooms)'),
    (6,  'item_s1_lent',      'B', 2000000, 0.08,  'in the stack S1, lent (PT01) to readers of card_ok'),
    (1,  'title',             '000', 1000000, 1.0, 'marc_rec_no; item n has title first_no + (n - 2000001) % count')
                  ) v(ord, name, prefix, base, share, what)) v) s;

-- The day-by-day shape of the history: one row per kind of event and day (d days before
-- today, 1 .. 365) with its number of events and the number of the day's first event, so
-- that the events of a kind are numbered 1 .. n in time order. Quieter at weekends and in
-- the vacations (January, February, July, August), busier before the exams (June,
-- December). R1 is closed on Mondays; r1_share is the part of a day's events at R1.
CREATE TABLE gen_event_day AS
WITH w AS (
  SELECT k.kind, k.total, d.d, d.day,
         CASE WHEN extract(isodow FROM d.day) = 1 THEN 0.0 ELSE 0.65 END AS r1_share,
         (CASE extract(isodow FROM d.day)::int WHEN 1 THEN 0.7 WHEN 5 THEN 0.9 WHEN 6 THEN 0.6
                                             WHEN 7 THEN 0.5 ELSE 1.0 END)
         * (CASE extract(month FROM d.day)::int WHEN 1 THEN 0.35 WHEN 2 THEN 0.3 WHEN 7 THEN 0.3
                                              WHEN 8 THEN 0.35 WHEN 6 THEN 1.25 WHEN 12 THEN 1.25
                                              ELSE 1.0 END)
         * (0.85 + 0.3 * ((d.d * 7919 + k.salt) % 101) / 100.0) AS weight
    FROM (SELECT g AS d, (:'today')::date - g AS day FROM generate_series(1, 365) g) d
   CROSS JOIN (SELECT p.name AS kind, p.value::bigint AS total, s.salt
                 FROM bench_gen_param p
                 JOIN (VALUES ('visits', 11), ('books', 23), ('rbooks', 37)) s(name, salt)
                   ON s.name = p.name) k
), c AS (
  SELECT w.*,
         sum(weight) OVER (PARTITION BY kind ORDER BY d DESC) AS cum,
         sum(weight) OVER (PARTITION BY kind) AS all_weight
    FROM w
)
SELECT kind, d, day, to_char(day, 'YYYY-MM-DD') AS day_text, r1_share,
       (round(total * cum / all_weight) - round(total * (cum - weight) / all_weight))::bigint AS n,
       round(total * (cum - weight) / all_weight)::bigint AS first_e
  FROM c;

-- How many of them the reading logs keep (the last log_days days).
INSERT INTO bench_gen_param (name, value)
SELECT 'log_' || kind, sum(n)::text
  FROM gen_event_day
 WHERE d <= (SELECT value::integer FROM bench_gen_param WHERE name = 'log_days')
 GROUP BY kind;

-- The history is written in two halves at once: the older days (d > split_d) and the
-- newer ones. split_d is chosen so that the newer half, which also writes the reading
-- logs, carries about as much as the older one.
INSERT INTO bench_gen_param (name, value)
SELECT 'split_d', coalesce(min(d), 183)::text
  FROM (SELECT d, sum(n) OVER (ORDER BY d) AS newer, sum(n) OVER () AS total
          FROM (SELECT d, sum(n) AS n FROM gen_event_day GROUP BY d) x) y
 WHERE newer >= 0.45 * total;

-- Identity values of the history and log tables continue after the demo's events; each
-- event's serial is the table's base plus its number, whichever half writes it.
INSERT INTO bench_gen_param (name, value)
SELECT 'serial_' || t.tbl, coalesce(t.mx, 0)::text
  FROM (SELECT 'reader_stat_hist' AS tbl, (SELECT max(hist_serial) FROM reader_stat_hist) AS mx
        UNION ALL SELECT 'book_use_stat_hist', (SELECT max(hist_serial) FROM book_use_stat_hist)
        UNION ALL SELECT 'redr_book_stat_hist', (SELECT max(hist_serial) FROM redr_book_stat_hist)
        UNION ALL SELECT 'reader_stat', (SELECT max(stat_serial) FROM reader_stat)
        UNION ALL SELECT 'book_use_stat', (SELECT max(stat_serial) FROM book_use_stat)
        UNION ALL SELECT 'reader_book_stat', (SELECT max(stat_serial) FROM reader_book_stat)) t;

-- ---------------------------------------------------------------------------------------
-- Helpers. All are immutable SQL expressions that the planner inlines, so the bulk
-- statements call no function per row beyond PostgreSQL's own.
-- ---------------------------------------------------------------------------------------

-- A 63-bit hash of x under a salt; the seed is folded into the salt by the callers.
CREATE FUNCTION gen_h(x bigint, salt bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN hashint8extended(x, salt) & 9223372036854775807;

-- The same hash as a fraction in [0, 1).
CREATE FUNCTION gen_u(x bigint, salt bigint) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ((hashint8extended(x, salt) & 9223372036854775807) >> 11)::double precision / 4503599627370496.0;

-- An element of a list chosen by a hash.
CREATE FUNCTION gen_pick(a text[], h bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN a[1 + h % cardinality(a)];

-- One directory entry of an ISO 2709 record: tag, length of the field in bytes (4 digits),
-- start relative to the base address (5 digits); nothing for an absent field.
CREATE FUNCTION gen_dir(tag text, field text, start integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN CASE WHEN field IS NULL THEN ''
            ELSE tag || lpad(octet_length(field)::text, 4, '0') || lpad(start::text, 5, '0') END;

-- A field as stored: "$" starts a subfield (0x1F), the field ends with 0x1E.
CREATE FUNCTION gen_fld(v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN replace(v, '$', chr(31)) || chr(30);

-- EAN-13 of twelve digits: the digits and their check digit.
CREATE FUNCTION gen_ean13(d text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN d || ((10 - (substr(d, 1, 1)::int + 3 * substr(d, 2, 1)::int + substr(d, 3, 1)::int
                    + 3 * substr(d, 4, 1)::int + substr(d, 5, 1)::int + 3 * substr(d, 6, 1)::int
                    + substr(d, 7, 1)::int + 3 * substr(d, 8, 1)::int + substr(d, 9, 1)::int
                    + 3 * substr(d, 10, 1)::int + substr(d, 11, 1)::int
                    + 3 * substr(d, 12, 1)::int) % 10) % 10)::text;

-- Subjects of the collection, one class number each (Chinese Library Classification):
-- "class|Chinese heading|English heading". Title t (1-based) has subject 1 + (t - 1) % s
-- of the s subjects, and its call number is the class, "/", an author letter and 1000 +
-- the title's running number within the subject: unique, and never one of the demo
-- library's three-digit call numbers.
CREATE FUNCTION gen_subjects() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY[
  'A81|马克思主义哲学|Marxist philosophy', 'B0|哲学|philosophy', 'B82|伦理学|ethics',
  'B84|心理学|psychology', 'B94|佛教|Buddhism', 'C91|社会学|sociology', 'C93|管理学|management',
  'D0|政治学|political science', 'D90|法学|law', 'D923|民法|civil law', 'E0|军事理论|military science',
  'F0|经济学|economics', 'F27|企业管理|business management', 'F83|金融学|finance',
  'F23|会计学|accounting', 'F74|国际贸易|international trade', 'F713.5|市场营销|marketing',
  'G40|教育学|education', 'G25|图书馆学|library science', 'G80|体育科学|sports science',
  'G206|传播学|communication', 'H0|语言学|linguistics', 'H31|英语|English language',
  'H1|汉语|Chinese language', 'I0|文学理论|literary theory', 'I206|中国文学史|Chinese literature',
  'I247.5|中国当代小说|contemporary Chinese fiction', 'I561|英国小说|English fiction',
  'I712|美国小说|American fiction', 'I22|中国诗歌|Chinese poetry', 'J2|绘画|painting', 'J6|音乐|music',
  'J9|电影艺术|film', 'K0|史学理论|historiography', 'K2|中国史|Chinese history', 'K1|世界史|world history',
  'K9|地理学|geography', 'K87|考古学|archaeology', 'N0|自然科学|natural science', 'O1|数学|mathematics',
  'O13|高等数学|calculus', 'O15|代数|algebra', 'O21|概率论与数理统计|probability and statistics',
  'O4|物理学|physics', 'O41|理论物理|theoretical physics', 'O6|化学|chemistry', 'P1|天文学|astronomy',
  'P5|地质学|geology', 'P4|气象学|meteorology', 'Q1|生物学|biology', 'Q7|分子生物学|molecular biology',
  'Q3|遗传学|genetics', 'Q14|生态学|ecology', 'R2|中医学|traditional Chinese medicine',
  'R4|临床医学|clinical medicine', 'R9|药学|pharmacology', 'R1|公共卫生|public health', 'S3|农学|agronomy',
  'TB1|工程基础|engineering', 'TH|机械工程|mechanical engineering', 'TM|电工技术|electrical engineering',
  'TN|电子技术|electronics', 'TP18|人工智能|artificial intelligence', 'TP311.13|数据库|databases',
  'TP312|程序设计|programming', 'TP393|计算机网络|computer networks', 'TP301.6|算法|algorithms',
  'TP316|操作系统|operating systems', 'TP391|信息处理|information processing', 'TU|建筑学|architecture',
  'TQ|化学工程|chemical engineering', 'U41|道路工程|highway engineering', 'V2|航空|aeronautics',
  'X5|环境污染|environmental pollution', 'Z22|百科全书|encyclopedias', 'Z3|书目|bibliographies'];

CREATE FUNCTION gen_call_no(t bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN split_part((gen_subjects())[1 + (t - 1) % cardinality(gen_subjects())], '|', 1) || '/'
       || chr(65 + ((t * 7) % 26)::int) || ((t - 1) / cardinality(gen_subjects()) + 1001)::text;

-- Readers' and authors' names.
CREATE FUNCTION gen_zh_surnames() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['王','李','张','刘','陈','杨','黄','赵','吴','周','王','李','张','刘','陈',
  '徐','孙','马','朱','胡','郭','何','高','林','罗','郑','梁','谢','宋','唐','许','韩','冯','邓',
  '曹','彭','曾','肖','田','董','袁','潘','于','蒋','蔡','余','杜','叶','程','苏','魏','吕','丁',
  '任','沈','姚','卢','姜','崔','钟','谭','陆','汪','范','金','石','廖','贾','夏','韦','付','方',
  '白','邹','孟','熊','秦','邱','江','尹','薛','闫','段','雷','侯','龙','史','陶','黎','贺','顾',
  '毛','郝','龚','邵','万','钱','严','覃','武','戴','莫','孔','向','汤','欧阳','司马','诸葛','上官'];

CREATE FUNCTION gen_zh_given() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['伟','芳','娜','敏','静','丽','强','磊','军','洋','勇','艳','杰','娟','涛','明','超',
  '秀','霞','平','刚','桂','英','华','玉','萍','红','鹏','辉','建','文','斌','宇','浩','凯','健',
  '俊','帆','帅','旭','宁','晨','晓','欣','怡','婷','雪','琳','颖','倩','蕾','博','然','轩','梓',
  '涵','子','思','雨','嘉','佳','一','诗','语','萱','泽','睿','航','昊','天','若','安','锦','瑞',
  '志','伦','毅','豪','振','海','峰','波','东','亮','林','鑫','彤','璐','薇','悦','晴','婉','琪',
  '璇','茜','铭','哲','楠','乐','阳','春','秋','冬','凡','达','立','新','国','永','德','荣'];

CREATE FUNCTION gen_en_given() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['James','John','Robert','Michael','William','David','Richard','Joseph','Thomas',
  'Charles','Mary','Patricia','Jennifer','Linda','Elizabeth','Barbara','Susan','Jessica','Sarah',
  'Karen','Daniel','Matthew','Anthony','Mark','Paul','Steven','Andrew','Kenneth','George','Edward',
  'Emily','Anna','Laura','Rachel','Helen','Margaret','Peter','Martin','Alan','Stephen','Claire',
  'Hannah','Oliver','Henry','Lucy','Alice','Samuel','Frances','Ruth','Victor'];

CREATE FUNCTION gen_en_surnames() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['Smith','Johnson','Williams','Brown','Jones','Miller','Davis','Wilson','Anderson',
  'Taylor','Thomas','Moore','Jackson','Martin','Lee','Thompson','White','Harris','Clark','Lewis',
  'Robinson','Walker','Young','Allen','King','Wright','Scott','Hill','Green','Adams','Baker',
  'Nelson','Carter','Mitchell','Roberts','Turner','Phillips','Campbell','Parker','Evans','Edwards',
  'Collins','Stewart','Morris','Murphy','Cook','Rogers','Morgan','Cooper','Peterson','Reed',
  'Bailey','Bell','Kelly','Howard','Ward','Cox','Richardson','Wood','Watson','Brooks','Bennett',
  'Gray','Hughes','Price','Sanders','Myers','Long','Ross','Foster','O''Brien','McDonald','Nguyen',
  'Schmidt','Müller','García','Kowalski','Rossi','Dubois','Tanaka'];

-- Publishers: "place|name" (Chinese) and "place|name|008 place code|country" (foreign).
CREATE FUNCTION gen_zh_publishers() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['北京|人民出版社','北京|商务印书馆','北京|中华书局','上海|上海古籍出版社',
  '北京|高等教育出版社','北京|清华大学出版社','北京|北京大学出版社','北京|科学出版社',
  '北京|人民文学出版社','上海|上海译文出版社','北京|机械工业出版社','北京|电子工业出版社',
  '北京|中国人民大学出版社','北京|社会科学文献出版社','北京|生活·读书·新知三联书店',
  '上海|复旦大学出版社','上海|华东师范大学出版社','南京|南京大学出版社','杭州|浙江大学出版社',
  '武汉|武汉大学出版社','长沙|湖南教育出版社','广州|广东人民出版社','成都|四川人民出版社',
  '北京|人民邮电出版社','北京|化学工业出版社','北京|外语教学与研究出版社','北京|法律出版社',
  '北京|中国社会科学出版社','天津|南开大学出版社','西安|陕西师范大学出版社'];

CREATE FUNCTION gen_en_publishers() RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN ARRAY['New York|Routledge|nyu|US','Oxford|Oxford University Press|enk|GB',
  'Cambridge|Cambridge University Press|enk|GB','Cambridge, Mass.|MIT Press|mau|US',
  'New York|Springer|nyu|US','Hoboken, N.J.|Wiley|nju|US','London|Penguin Books|enk|GB',
  'Princeton, N.J.|Princeton University Press|nju|US','Chicago|University of Chicago Press|ilu|US',
  'New Haven|Yale University Press|ctu|US','Boston|Addison-Wesley|mau|US',
  'Upper Saddle River, N.J.|Prentice Hall|nju|US','Amsterdam|Elsevier|ne |NL',
  'Thousand Oaks, Calif.|SAGE Publications|cau|US','London|Bloomsbury|enk|GB',
  'New York|McGraw-Hill|nyu|US','Berkeley|University of California Press|cau|US',
  'Sebastopol, CA|O''Reilly Media|cau|US','Boca Raton|CRC Press|flu|US',
  'Singapore|World Scientific|si |SG'];

-- The reading events, computed from their number alone: kind (visits, books, rbooks), day,
-- e (1 .. the kind's total, in time order), event time, reading room, worker (A001 until
-- 15:00, then B002), reader number (card_ok, favourites much more often) and item number
-- (an item of that room, lent or not, popular ones more often). The history and the logs
-- are written from it, so both halves of the history and the logs agree on every event.
\ir keys.sql

CREATE VIEW gen_event AS
SELECT kind, d, e, day_text || lpad((secs / 3600)::text, 2, '0') || ':' || lpad((secs / 60 % 60)::text, 2, '0')
                   || ':' || lpad((secs % 60)::text, 2, '0') AS date_time,
       loc AS location,
       CASE WHEN secs < 54000 THEN 'A001' ELSE 'B002' END AS wkr,
       :card_ok_first + floor((:card_ok_last - :card_ok_first + 1)
                              * power(gen_u(e, :seed * 1000 + kind_salt + 1), 1.4))::bigint AS reader_no,
       CASE WHEN loc = 'R1'
            THEN :item_r1_first + floor((:item_r1_lent_last - :item_r1_first + 1)
                                        * power(gen_u(e, :seed * 1000 + kind_salt + 2), 1.3))::bigint
            ELSE :item_r2_first + floor((:item_r2_lent_last - :item_r2_first + 1)
                                        * power(gen_u(e, :seed * 1000 + kind_salt + 2), 1.3))::bigint
       END AS item_no
  FROM (SELECT c.kind, c.d, c.day_text, c.first_e + k AS e, s.kind_salt,
               -- 08:00 to 21:30, spread evenly over the day's events, so that times rise with e
               28800 + ((k - 1) * 48600) / c.n
                     + gen_h(c.first_e + k, :seed * 1000 + s.kind_salt) % greatest(1, 48600 / c.n) AS secs,
               CASE WHEN gen_u(c.first_e + k, :seed * 1000 + s.kind_salt + 3) < c.r1_share THEN 'R1' ELSE 'R2' END AS loc
          FROM gen_event_day c
          JOIN (VALUES ('visits', 200), ('books', 210), ('rbooks', 220)) s(kind, kind_salt) ON s.kind = c.kind
         CROSS JOIN LATERAL generate_series(1::bigint, c.n) k) ev;

-- ---------------------------------------------------------------------------------------
-- Bulk-load set-up. Indexes, primary keys and foreign keys of the tables the generator
-- fills are written down in gen_saved_ddl and dropped; finish.sql builds them again once
-- the rows are in. Autovacuum stays off for those tables until then.
-- ---------------------------------------------------------------------------------------
CREATE TABLE gen_saved_ddl (
    ord     serial PRIMARY KEY,
    phase   integer NOT NULL,   -- 1 index builds, 2 primary keys over them, 3 foreign keys
    tbl     text NOT NULL,
    name    text NOT NULL,
    ddl     text NOT NULL,
    weight  bigint NOT NULL DEFAULT 0,
    done    boolean NOT NULL DEFAULT false
);

CREATE TEMP TABLE gen_big (tbl regclass) ON COMMIT DROP;
INSERT INTO gen_big
SELECT t::regclass
  FROM unnest(ARRAY['reader', 'reader_cert', 'marc', 'marc_data', 'marc_idx', 'call_no_lst', 'item',
                    'lend_lst', 'reader_stat', 'book_use_stat', 'reader_book_stat',
                    'reader_stat_hist', 'book_use_stat_hist', 'redr_book_stat_hist']) t;

-- Foreign keys of, or pointing at, the big tables.
INSERT INTO gen_saved_ddl (phase, tbl, name, ddl)
SELECT 3, c.conrelid::regclass::text, c.conname,
       format('ALTER TABLE %s ADD CONSTRAINT %I %s', c.conrelid::regclass, c.conname,
              pg_get_constraintdef(c.oid))
  FROM pg_constraint c
 WHERE c.contype = 'f'
   AND (c.conrelid IN (SELECT tbl FROM gen_big) OR c.confrelid IN (SELECT tbl FROM gen_big))
 ORDER BY c.conrelid::regclass::text, c.conname;

-- Every index of the big tables; a primary key is built as its unique index first and
-- then takes it over.
INSERT INTO gen_saved_ddl (phase, tbl, name, ddl)
SELECT 1, i.indrelid::regclass::text, ic.relname, pg_get_indexdef(i.indexrelid)
  FROM pg_index i
  JOIN pg_class ic ON ic.oid = i.indexrelid
 WHERE i.indrelid IN (SELECT tbl FROM gen_big)
 ORDER BY i.indrelid::regclass::text, ic.relname;

INSERT INTO gen_saved_ddl (phase, tbl, name, ddl)
SELECT 2, c.conrelid::regclass::text, c.conname,
       format('ALTER TABLE %s ADD CONSTRAINT %I %s USING INDEX %I', c.conrelid::regclass, c.conname,
              CASE c.contype WHEN 'p' THEN 'PRIMARY KEY' ELSE 'UNIQUE' END, c.conname)
  FROM pg_constraint c
 WHERE c.contype IN ('p', 'u') AND c.conrelid IN (SELECT tbl FROM gen_big)
 ORDER BY c.conrelid::regclass::text, c.conname;

DO $$
DECLARE
  r record;
BEGIN
  FOR r IN SELECT * FROM gen_saved_ddl WHERE phase = 3 ORDER BY ord LOOP
    EXECUTE format('ALTER TABLE %s DROP CONSTRAINT %I', r.tbl, r.name);
  END LOOP;
  FOR r IN SELECT * FROM gen_saved_ddl WHERE phase = 2 ORDER BY ord LOOP
    EXECUTE format('ALTER TABLE %s DROP CONSTRAINT %I', r.tbl, r.name);
  END LOOP;
  FOR r IN SELECT * FROM gen_saved_ddl
            WHERE phase = 1 AND name NOT IN (SELECT name FROM gen_saved_ddl WHERE phase = 2) LOOP
    EXECUTE format('DROP INDEX %I', r.name);
  END LOOP;
  FOR r IN SELECT tbl FROM gen_big LOOP
    EXECUTE format('ALTER TABLE %s SET (autovacuum_enabled = false)', r.tbl);
  END LOOP;
END
$$;

COMMIT;
