-- Library-scale generator: titles. Chinese books are catalogued in CN MARC (marc_type
-- "C", 70 %), foreign books in US MARC ("U"); each gets its record header (marc), its ISO
-- 2709 record in marc_data and its search index entries (marc_idx), as the demo library
-- builds them. Title t (1 .. titles) has marc_rec_no title_first + t - 1 written with ten
-- digits and the call number gen_call_no(t). The call numbers themselves are written with
-- the items (holdings.sql), which count their readings.

\ir keys.sql

BEGIN;

-- One row per title with every element its record is built from. A few records get a
-- long table of contents, so that some records fill more than one marc01 piece of 2000
-- characters and a few more than one marc_data row.
CREATE UNLOGGED TABLE gen_title AS
SELECT t, rec_no, fmt, clc, call_no, topic_zh, topic_en, lit,
       title, part_no, other_title, edition, a1, a2, relator, resp,
       split_part(pub, '|', 1) AS place, split_part(pub, '|', 2) AS publisher,
       CASE WHEN fmt = 'U' THEN split_part(pub, '|', 3) END AS pub_ctry,
       CASE WHEN fmt = 'U' THEN split_part(pub, '|', 4) ELSE 'CN' END AS country,
       pub_year, pages, size, price, isbn, subject, summary, contents, cata_date
  FROM (
SELECT t, rec_no, fmt, clc, call_no, topic_zh, topic_en, lit, pub, pub_year, cata_date,
       -- title proper
       CASE WHEN fmt = 'C' AND lit THEN
              CASE h1 % 5
                WHEN 0 THEN gen_pick(zw, h2) || gen_pick(zw, h3)
                WHEN 1 THEN gen_pick(zw, h2) || '之' || gen_pick(zw, h3)
                WHEN 2 THEN '在' || gen_pick(zw, h2) || '里'
                WHEN 3 THEN gen_pick(zw, h2) || '的' || gen_pick(zw, h3)
                ELSE gen_pick(zw, h2) || gen_pick(zw, h3) || '集' END
            WHEN fmt = 'C' THEN
              gen_pick(ARRAY['','','','','','现代','实用','中国','简明','新编','当代','基础','比较','应用',
                             '世界','高级','大学','走进','西方','中外'], h2)
              || topic_zh
              || gen_pick(ARRAY['概论','导论','研究','教程','原理','史','基础','方法','手册','十讲','与实践',
                                '问题研究','新论','通论','讲义','学习指导','案例分析','前沿','入门','思想研究',
                                '原理与应用','理论与方法','发展报告','读本','论稿'], h3)
            WHEN lit THEN
              CASE h1 % 3
                WHEN 0 THEN 'The ' || gen_pick(ea, h2) || ' ' || gen_pick(en, h3)
                WHEN 1 THEN 'The ' || gen_pick(en, h2) || ' of ' || gen_pick(en, h3)
                ELSE initcap(gen_pick(en, h2)) || ' and ' || gen_pick(en, h3) END
            ELSE
              (SELECT CASE WHEN p LIKE '\%%' THEN upper(left(topic_en, 1)) || substr(topic_en, 2) || substr(p, 2)
                           ELSE replace(p, '%', topic_en) END
                 FROM (SELECT gen_pick(ARRAY['Introduction to %','Principles of %','A history of %','Essays on %',
                                             'Handbook of %','Advances in %','Foundations of %','Topics in %',
                                             'Readings in %','Studies in %','%: theory and practice','% for beginners',
                                             'The Cambridge companion to %','An atlas of %','Perspectives on %',
                                             'Understanding %','Fundamentals of %','Elements of %',
                                             'Research methods in %','The practice of %'], h2) AS p) x)
       END AS title,
       CASE WHEN h4 % 100 < 6 THEN
              CASE WHEN fmt = 'C' THEN gen_pick(ARRAY['上册','下册','第一卷','第二卷','第三卷'], h4)
                   ELSE gen_pick(ARRAY['Vol. 1','Vol. 2','Part 1'], h4) END
       END AS part_no,
       CASE WHEN h5 % 100 < 15 THEN
              CASE WHEN fmt = 'C' THEN gen_pick(ARRAY['理论与实践','修订本','理论、方法与应用','以中国为例',
                                                      '国际比较的视角','问题与对策','历史与现状','全彩图解版'], h5)
                   ELSE gen_pick(ARRAY['a practical guide','an introduction','theory, methods and applications',
                                       'a global perspective','selected papers','a critical reader',
                                       'concepts and cases'], h5) END
       END AS other_title,
       CASE WHEN h6 % 100 < 20 THEN
              CASE WHEN fmt = 'C' THEN gen_pick(ARRAY['第2版','第3版','修订版','第4版'], h6)
                   ELSE gen_pick(ARRAY['2nd ed.','3rd ed.','Rev. ed.','4th ed.'], h6) END
       END AS edition,
       a1, CASE WHEN a2 <> a1 THEN a2 END AS a2, relator,
       CASE WHEN fmt = 'C' THEN a1 || CASE WHEN a2 <> a1 THEN ', ' || a2 ELSE '' END || relator
            ELSE split_part(a1, ', ', 2) || ' ' || split_part(a1, ', ', 1)
                 || CASE WHEN a2 <> a1 THEN ' and ' || split_part(a2, ', ', 2) || ' ' || split_part(a2, ', ', 1)
                         ELSE '' END
       END AS resp,
       CASE WHEN fmt = 'C' THEN (80 + h7 % 720) || '页'
            ELSE gen_pick(ARRAY['','','x, ','xii, ','xv, ','xxiv, '], h7) || (120 + h7 % 800) || ' p.' END AS pages,
       CASE WHEN fmt = 'C' THEN (19 + h8 % 8) || 'cm' ELSE (21 + h8 % 8) || ' cm' END AS size,
       CASE WHEN fmt = 'C' THEN 15.00 + (h8 % 18000) / 100.0 ELSE 30.00 + (h8 % 25000) / 100.0 END::numeric(12,2) AS price,
       gen_ean13(CASE WHEN fmt = 'C' THEN '9787' ELSE '9780' END || lpad((h9 % 100000000)::text, 8, '0')) AS isbn,
       CASE WHEN fmt = 'C' THEN topic_zh || '$x' || gen_pick(ARRAY['研究','教材','概论','文集','中国','高等学校'], h9)
            ELSE upper(left(topic_en, 1)) || substr(topic_en, 2)
                 || gen_pick(ARRAY['','$xTextbooks','$xHistory','$xStudy and teaching','$xResearch'], h9) END AS subject,
       CASE WHEN h10 % 100 < 40 THEN
              CASE WHEN fmt = 'C' THEN
                     '本书' || gen_pick(ARRAY['系统介绍了','全面论述了','深入探讨了','简要阐述了','结合大量实例讲解了'], h10)
                     || topic_zh || gen_pick(ARRAY['的基本概念、基本理论和基本方法','的发展历程与研究现状',
                                                   '领域的主要问题与最新进展','的核心内容和典型应用'], h11)
                     || '，' || gen_pick(ARRAY['内容丰富，深入浅出','结构清晰，论述严谨','资料翔实，观点新颖',
                                                '图文并茂，便于自学'], h12)
                     || '，' || gen_pick(ARRAY['可作为高等院校相关专业的教材，也可供研究人员参考。',
                                                '适合广大读者阅读。','可供相关领域的科研和工程技术人员参考。'], h10)
                   ELSE
                     'This book ' || gen_pick(ARRAY['offers a comprehensive introduction to','surveys the field of',
                                                    'presents recent research in','explains the essential ideas of'], h10)
                     || ' ' || topic_en || '. ' || gen_pick(ARRAY['Each chapter includes exercises and further reading.',
                                                                 'It is written for students and practitioners alike.',
                                                                 'Case studies from many countries illustrate the argument.',
                                                                 'The new edition has been thoroughly revised and updated.'], h11)
              END
       END AS summary,
       CASE WHEN h12 % 100 < 5 OR t % 1000 = 7 THEN
              CASE WHEN fmt = 'C' THEN
                     left((SELECT string_agg('第' || c || '章 ' || topic_zh
                                              || gen_pick(ARRAY['概述','的历史','的基本问题','的方法','的应用','的前景',
                                                                '研究综述','案例','专题讨论','与社会'], c * 7 + h12), ' ')
                             FROM generate_series(1, (30 + h12 % 200)::integer) c), 3000)
                   ELSE
                     left((SELECT string_agg(c || '. ' || gen_pick(ARRAY['Origins of','Methods in','Problems of',
                                                                         'Case studies in','The future of',
                                                                         'Critical debates in','Applications of',
                                                                         'Measurement in'], c * 7 + h12)
                                             || ' ' || topic_en, ' -- ')
                             FROM generate_series(1, CASE WHEN t % 1000 = 7 THEN 300 ELSE (20 + h12 % 100)::integer END) c),
                          9000)
              END
       END AS contents
  FROM (
SELECT t, lpad((:title_first + t - 1)::text, 10, '0') AS rec_no,
       fmt,
       split_part(subj, '|', 1) AS clc, gen_call_no(t) AS call_no,
       split_part(subj, '|', 2) AS topic_zh, split_part(subj, '|', 3) AS topic_en,
       split_part(subj, '|', 1) IN ('I247.5', 'I561', 'I712', 'I22') AS lit,
       CASE WHEN fmt = 'U'
            THEN gen_pick(gen_en_publishers(), gen_h(t, :seed * 1000 + 101))
            ELSE gen_pick(gen_zh_publishers(), gen_h(t, :seed * 1000 + 101)) END AS pub,
       -- catalogued in the order of the record numbers over the last eight years, published
       -- since 1985, more of them recently, and never after they were catalogued
       (:'today')::date - 30 - ((:titles - t) * 2900 / :titles)::integer AS cata_date,
       least(extract(year FROM (:'today')::date - 30 - ((:titles - t) * 2900 / :titles)::integer)::integer,
             1985 + floor(power(gen_u(t, :seed * 1000 + 102), 0.6) * 41)::integer)::text AS pub_year,
       CASE WHEN fmt = 'U'
            THEN gen_pick(gen_en_surnames(), gen_h(t, :seed * 1000 + 103)) || ', '
                 || gen_pick(gen_en_given(), gen_h(t, :seed * 1000 + 104))
                 || CASE WHEN gen_h(t, :seed * 1000 + 104) % 3 = 0
                         THEN ' ' || chr(65 + (gen_h(t, :seed * 1000 + 105) % 26)::integer) || '.' ELSE '' END
            ELSE gen_pick(gen_zh_surnames(), gen_h(t, :seed * 1000 + 103))
                 || gen_pick(gen_zh_given(), gen_h(t, :seed * 1000 + 104))
                 || CASE WHEN gen_h(t, :seed * 1000 + 105) % 100 < 60
                         THEN gen_pick(gen_zh_given(), gen_h(t, :seed * 1000 + 106)) ELSE '' END
       END AS a1,
       CASE WHEN gen_h(t, :seed * 1000 + 107) % 3 = 0 THEN
              CASE WHEN fmt = 'U'
                   THEN gen_pick(gen_en_surnames(), gen_h(t, :seed * 1000 + 108)) || ', '
                        || gen_pick(gen_en_given(), gen_h(t, :seed * 1000 + 109))
                   ELSE gen_pick(gen_zh_surnames(), gen_h(t, :seed * 1000 + 108))
                        || gen_pick(gen_zh_given(), gen_h(t, :seed * 1000 + 109)) END
       END AS a2,
       gen_pick(ARRAY['著','著','著','编著','主编'], gen_h(t, :seed * 1000 + 110)) AS relator,
       ARRAY['春','秋','山','河','月','风','雪','花','城','海','梦','夜','光','路','家','故乡','远方','岁月',
             '时光','人间','江湖','长河','草原','星空','黄昏','黎明','旧事','归途','边城','长安'] AS zw,
       ARRAY['river','garden','winter','house','sea','city','night','road','mirror','promise','silence',
             'letters','stranger','harbor','orchard','lighthouse','island','shadow','summer','daughter'] AS en,
       ARRAY['last','silent','lost','hidden','distant','golden','broken','quiet','long','bright'] AS ea,
       gen_h(t, :seed * 1000 + 111) AS h1, gen_h(t, :seed * 1000 + 112) AS h2,
       gen_h(t, :seed * 1000 + 113) AS h3, gen_h(t, :seed * 1000 + 114) AS h4,
       gen_h(t, :seed * 1000 + 115) AS h5, gen_h(t, :seed * 1000 + 116) AS h6,
       gen_h(t, :seed * 1000 + 117) AS h7, gen_h(t, :seed * 1000 + 118) AS h8,
       gen_h(t, :seed * 1000 + 119) AS h9, gen_h(t, :seed * 1000 + 120) AS h10,
       gen_h(t, :seed * 1000 + 121) AS h11, gen_h(t, :seed * 1000 + 122) AS h12
  FROM (SELECT t, (gen_subjects())[1 + (t - 1) % cardinality(gen_subjects())] AS subj,
               -- every thousandth title is a foreign one with a very long table of contents
               CASE WHEN t % 1000 = 7 OR gen_u(t, :seed * 1000 + 100) < 0.3 THEN 'U' ELSE 'C' END AS fmt
          FROM generate_series(1::bigint, :titles::bigint) t) s
OFFSET 0) a
OFFSET 0) b;

-- Record headers; m_title joins title, part, other title and edition as cataloguing does.
INSERT INTO marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, marc_use_flag,
                  cata_oper, cata_date, m_call_no, m_title, m_author, m_publisher, m_pub_year,
                  m_isbn, m_classno)
SELECT rec_no, fmt, CASE fmt WHEN 'C' THEN '01' ELSE '02' END,
       CASE fmt WHEN 'C' THEN 'chi' ELSE 'eng' END, country, '1',
       CASE WHEN t % 3 = 0 THEN 'B002' ELSE 'A001' END, to_char(cata_date, 'YYYY-MM-DD'), call_no,
       CASE fmt
         WHEN 'C' THEN title || coalesce('.' || part_no, '') || coalesce(':' || other_title, '')
                       || coalesce('-' || edition, '')
         ELSE title || coalesce(' ' || other_title, '') || coalesce(' ' || part_no, '')
              || coalesce('-' || edition, '')
       END,
       resp, publisher, pub_year, isbn, clc
  FROM gen_title;

-- The ISO 2709 records. Each format has a fixed sequence of up to twenty fields (absent
-- ones are NULL); a field's start is the byte length of the fields before it, which
-- octet_length(concat(...)) gives without a loop. The record is cut into pieces of 2000
-- characters: marc01, marc02, marc03 of row 1, then of row 2 and so on.
INSERT INTO marc_data (marc_rec_no, data_serial, marc01, marc02, marc03)
SELECT rec_no, s,
       substr(rec, (s - 1) * 6000 + 1, 2000),
       nullif(substr(rec, (s - 1) * 6000 + 2001, 2000), ''),
       nullif(substr(rec, (s - 1) * 6000 + 4001, 2000), '')
  FROM (
SELECT t, rec_no,
       lpad((base + octet_length(flds) + 1)::text, 5, '0')
       || CASE fmt WHEN 'C' THEN 'nam0 22' ELSE 'nam a22' END
       || lpad(base::text, 5, '0')
       || CASE fmt WHEN 'C' THEN '   450 ' ELSE ' c 4500' END
       || dir || chr(30) || flds || chr(29) AS rec
  FROM (
SELECT t, rec_no, fmt,
       25 + 12 * num_nonnulls(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10,
                              f11, f12, f13, f14, f15, f16, f17, f18, f19, f20) AS base,
       concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10,
              f11, f12, f13, f14, f15, f16, f17, f18, f19, f20) AS flds,
       gen_dir(g01, f01, 0)
       || gen_dir(g02, f02, octet_length(concat(f01)))
       || gen_dir(g03, f03, octet_length(concat(f01, f02)))
       || gen_dir(g04, f04, octet_length(concat(f01, f02, f03)))
       || gen_dir(g05, f05, octet_length(concat(f01, f02, f03, f04)))
       || gen_dir(g06, f06, octet_length(concat(f01, f02, f03, f04, f05)))
       || gen_dir(g07, f07, octet_length(concat(f01, f02, f03, f04, f05, f06)))
       || gen_dir(g08, f08, octet_length(concat(f01, f02, f03, f04, f05, f06, f07)))
       || gen_dir(g09, f09, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08)))
       || gen_dir(g10, f10, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09)))
       || gen_dir(g11, f11, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10)))
       || gen_dir(g12, f12, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11)))
       || gen_dir(g13, f13, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12)))
       || gen_dir(g14, f14, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13)))
       || gen_dir(g15, f15, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14)))
       || gen_dir(g16, f16, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14, f15)))
       || gen_dir(g17, f17, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14, f15, f16)))
       || gen_dir(g18, f18, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14, f15, f16, f17)))
       || gen_dir(g19, f19, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14, f15, f16, f17, f18)))
       || gen_dir(g20, f20, octet_length(concat(f01, f02, f03, f04, f05, f06, f07, f08, f09, f10, f11, f12,
                                                f13, f14, f15, f16, f17, f18, f19))) AS dir
  FROM (
-- CN MARC
SELECT t, rec_no, fmt,
       '001' AS g01, gen_fld(rec_no) AS f01,
       '005' AS g02, gen_fld(to_char(cata_date, 'YYYYMMDD') || '093000.0') AS f02,
       '010' AS g03, gen_fld('  $a' || isbn || '$dCNY' || price::text) AS f03,
       '100' AS g04, gen_fld('  $a' || to_char(cata_date, 'YYYYMMDD') || 'd' || pub_year || '    em y0chiy50      ea') AS f04,
       '101' AS g05, gen_fld('0 $achi') AS f05,
       '102' AS g06, gen_fld('  $aCN$b110000') AS f06,
       '105' AS g07, gen_fld('  $ay   z   000yy') AS f07,
       '106' AS g08, gen_fld('  $ar') AS f08,
       '200' AS g09, gen_fld('1 $a' || title || coalesce('$h' || part_no, '') || coalesce('$e' || other_title, '')
                             || '$f' || resp) AS f09,
       '205' AS g10, gen_fld('  $a' || edition) AS f10,
       '210' AS g11, gen_fld('  $a' || place || '$c' || publisher || '$d' || pub_year) AS f11,
       '215' AS g12, gen_fld('  $a' || pages || '$d' || size) AS f12,
       '327' AS g13, gen_fld('0 $a' || contents) AS f13,
       '330' AS g14, gen_fld('  $a' || summary) AS f14,
       '606' AS g15, gen_fld('0 $a' || subject) AS f15,
       '690' AS g16, gen_fld('  $a' || clc || '$v5') AS f16,
       '701' AS g17, gen_fld(' 0$a' || a1 || '$4' || relator) AS f17,
       '701' AS g18, gen_fld(' 0$a' || a2 || '$4' || relator) AS f18,
       '801' AS g19, gen_fld(' 0$aCN$b000001$c' || to_char(cata_date, 'YYYYMMDD')) AS f19,
       '905' AS g20, gen_fld('  $a000001$d' || split_part(call_no, '/', 1) || '$e' || split_part(call_no, '/', 2)) AS f20
  FROM gen_title
 WHERE fmt = 'C'
UNION ALL
-- US MARC
SELECT t, rec_no, fmt,
       '001', gen_fld(rec_no),
       '005', gen_fld(to_char(cata_date, 'YYYYMMDD') || '093000.0'),
       '008', gen_fld(to_char(cata_date, 'YYMMDD') || 's' || pub_year || '    ' || pub_ctry || repeat(' ', 11)
                      || '001 ' || CASE WHEN lit THEN '1' ELSE '0' END || ' eng d'),
       '020', gen_fld('  $a' || isbn),
       '093', gen_fld('  $a' || split_part(call_no, '/', 1) || '$b' || split_part(call_no, '/', 2)),
       '100', gen_fld('1 $a' || a1),
       '245', gen_fld('1' || CASE WHEN title LIKE 'The %' THEN '4' WHEN title LIKE 'An %' THEN '3'
                                  WHEN title LIKE 'A %' THEN '2' ELSE '0' END
                      || '$a' || title || coalesce('$b' || other_title, '') || coalesce('$n' || part_no, '')
                      || '$c' || resp),
       '250', gen_fld('  $a' || edition),
       '260', gen_fld('  $a' || place || '$b' || publisher || '$c' || pub_year),
       '300', gen_fld('  $a' || pages || '$c' || size),
       '505', gen_fld('0 $a' || contents),
       '520', gen_fld('  $a' || summary),
       '650', gen_fld(' 0$a' || subject),
       '700', gen_fld('1 $a' || a2),
       '', NULL, '', NULL, '', NULL, '', NULL, '', NULL, '', NULL
  FROM gen_title
 WHERE fmt = 'U'
OFFSET 0) f
OFFSET 0) d
OFFSET 0) r
 CROSS JOIN LATERAL generate_series(1, (char_length(rec) + 5999) / 6000) s;

-- Search index entries: title (without a leading article), responsible persons, subject,
-- class number, ISBN, publisher, year; upper case, cut to the width of the index.
INSERT INTO marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont)
SELECT g.rec_no, i.grp, left(upper(i.cont), 60)
  FROM gen_title g
 CROSS JOIN LATERAL (VALUES
   ('01', regexp_replace(g.title, '^(The|An|A) ', '')),
   ('02', g.a1),
   ('02', g.a2),
   ('03', split_part(g.subject, '$', 1)),
   ('04', g.clc),
   ('05', g.isbn),
   ('08', g.publisher),
   ('09', g.pub_year)
 ) i(grp, cont)
 WHERE i.cont IS NOT NULL;

COMMIT;
