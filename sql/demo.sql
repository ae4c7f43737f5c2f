-- The demo library: a small university library with two reading rooms, a stack, four
-- staff members, readers in every situation the desk's admission check knows, items with
-- their MARC records, the photocopy lending rules and a year of reading history.
--
-- Loaded after schema.sql, procedures.sql and seed.sql. Dates are computed from the day
-- of loading, so that valid cards are valid, the expired card is expired, a suspension
-- ends next year and the history covers the past twelve months whenever the library is
-- loaded. Loading it a second time changes nothing.
--
-- Keys that tests, benchmarks and people rely on:
--   locations   R1 第一阅览室, R2 第二阅览室 (reading rooms, group G1), S1 基藏书库 (stack),
--               99999 (placeholder for items without a fixed location)
--   workers     A001 (rights 4022 4023 4005 4024), B002 (4022), C003 (disabled),
--               D004 (no 4022); password DEMO
--   stations    the workstation registered by demo_register_workstation() -> R1,
--               DESK-R1 -> R1, DESK-R2 -> R2, DESK-S1 -> S1 (no reading room)
--   cards       D0000001 .. D0000010, one situation each (see the readers below);
--               D1000001 .. D1000040 ordinary readers of the reading history
--   items       B0000001 .. B0000020 at R1, B0000101 at R2, B0000201 at S1,
--               B0000301 at 99999, B0000401 lent, B0000402 lent on commission,
--               B0000403 expensive
--   rules       COPY01 (days), COPY02 (hours), PT01 (ordinary lending at the stack)

BEGIN;

-- Whether the library is already there: a second load then adds none of the events,
-- loans and accounts again (everything else is keyed and left alone).
CREATE TEMP TABLE demo_loaded ON COMMIT DROP AS
SELECT EXISTS (SELECT 1 FROM reader WHERE cert_id = 'R0000001') AS done;

-- ---------------------------------------------------------------------------------------
-- Locations. The reading rooms lend to and take back from each other; the stack deals
-- only with itself, so its books are refused at the reading-room desks.
-- ---------------------------------------------------------------------------------------
INSERT INTO loca_group (group_id, group_name, use_flag) VALUES
  ('G1', '阅览室组', '1')
ON CONFLICT DO NOTHING;

INSERT INTO location_lst (location, location_name, location_property, short_loca_name,
                          lend_location, ret_location, fine_location, group_id) VALUES
  ('R1',    '第一阅览室',   '阅览室', '一阅', 'R1,R2', 'R1,R2', 'R1,R2', 'G1'),
  ('R2',    '第二阅览室',   '阅览室', '二阅', 'R1,R2', 'R1,R2', 'R1,R2', 'G1'),
  ('S1',    '基藏书库',     '书库',   '基藏', 'S1',    'S1',    'S1',    NULL),
  -- items waiting for a location: lent by whichever reading room has them in hand
  ('99999', '未定馆藏地',   '临时',   '未定', 'R1,R2', 'R1,R2', 'R1,R2', NULL)
ON CONFLICT DO NOTHING;

-- Operation types: 1 circulation desk, 3 reading room.
INSERT INTO location_sort (location, oper_type, sequence) VALUES
  ('R1', '3', 1),
  ('R2', '3', 2),
  ('S1', '1', 1)
ON CONFLICT DO NOTHING;

-- R1 is closed on Mondays and for a few days shortly after loading (so that a photocopy
-- loan made today runs into the closing period); R2 is open every day.
INSERT INTO close_day (location, close_bgn_day, close_end_day, ext_days, remark)
SELECT 'R1', to_char(current_date + 2, 'YYYY-MM-DD'), to_char(current_date + 4, 'YYYY-MM-DD'), 1, '空调检修'
ON CONFLICT DO NOTHING;

INSERT INTO open_time (location, week, morn_open_time, aftn_open_time, even_open_time)
SELECT l.location, w.week,
       CASE WHEN l.location = 'R1' AND w.week = 'MON' THEN '00:00' ELSE w.morn END,
       CASE WHEN l.location = 'R1' AND w.week = 'MON' THEN '00:00' ELSE '14:00' END,
       CASE WHEN l.location = 'R1' AND w.week = 'MON' THEN '00:00' ELSE w.even END
  FROM (VALUES ('R1'), ('R2')) l(location)
 CROSS JOIN (VALUES ('SUN', '09:00', '00:00'), ('MON', '08:00', '18:30'), ('TUE', '08:00', '18:30'),
                    ('WED', '08:00', '18:30'), ('THU', '08:00', '18:30'), ('FRI', '08:00', '18:30'),
                    ('SAT', '09:00', '00:00')) w(week, morn, even)
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Staff. Passwords are compared without regard to case; code1 lists the modules a worker
-- belongs to (4: reading room), code2 "1" marks special rights.
-- ---------------------------------------------------------------------------------------
INSERT INTO lib_worker (wkr_no, wkr_name, password, wkr_flag, code1, code2, wkr_email, wkr_tele) VALUES
  ('A001', '王晓明', 'DEMO', '1', '34', '1', 'wangxm@lib.example.edu.cn', '010-62750001'),
  ('B002', '李红',   'DEMO', '1', '4',  '0', 'lihong@lib.example.edu.cn', '010-62750002'),
  ('C003', '赵刚',   'DEMO', '0', '4',  '0', 'zhaog@lib.example.edu.cn',  '010-62750003'),
  ('D004', '孙丽',   'DEMO', '1', '3',  '0', 'sunli@lib.example.edu.cn',  '010-62750004')
ON CONFLICT DO NOTHING;

-- 4022 reading-room desk, 4023 purge reading records, 4005 settle fines,
-- 4024 change, reduce or waive a fine.
INSERT INTO user_auth_lst (wkr_no, modu_code) VALUES
  ('A001', '4022'), ('A001', '4023'), ('A001', '4005'), ('A001', '4024'),
  ('B002', '4022'),
  ('C003', '4022'),
  ('D004', '4005'), ('D004', '4024')
ON CONFLICT DO NOTHING;

INSERT INTO user_location (wkr_no, location) VALUES
  ('A001', 'R1'), ('A001', 'R2'), ('A001', 'S1'),
  ('B002', 'R1'), ('B002', 'R2'),
  ('C003', 'R1'),
  ('D004', 'R1'), ('D004', 'S1')
ON CONFLICT DO NOTHING;

-- Workstations (network names, upper case) and their locations.
INSERT INTO loca_comp_lst (comp_name, location) VALUES
  ('DESK-R1', 'R1'),
  ('DESK-R2', 'R2'),
  ('DESK-S1', 'S1')
ON CONFLICT DO NOTHING;

INSERT INTO user_comp_lst (wkr_no, comp_name)
SELECT w.wkr_no, c.comp_name
  FROM (VALUES ('A001'), ('B002'), ('C003'), ('D004')) w(wkr_no)
 CROSS JOIN (VALUES ('DESK-R1'), ('DESK-R2'), ('DESK-S1')) c(comp_name)
ON CONFLICT DO NOTHING;

-- Registers a workstation of the reading room R1 for the demo staff, so that they can log
-- in on it. The name is stored upper-cased, as the desk compares it. A name that already
-- serves a location (DESK-R2, say) keeps it and only gets the staff. Calling it again for
-- the same name changes nothing.
CREATE OR REPLACE FUNCTION demo_register_workstation(comp_name text)
RETURNS text
LANGUAGE plpgsql AS $$
#variable_conflict use_column
DECLARE
  ws text := upper(btrim(demo_register_workstation.comp_name));
BEGIN
  IF ws IS NULL OR ws = '' THEN
    RAISE EXCEPTION 'demo_register_workstation: empty workstation name';
  END IF;
  INSERT INTO loca_comp_lst (comp_name, location)
  SELECT ws, 'R1'
   WHERE NOT EXISTS (SELECT 1 FROM loca_comp_lst WHERE comp_name = ws);
  INSERT INTO user_comp_lst (wkr_no, comp_name)
  SELECT w.wkr_no, ws
    FROM (VALUES ('A001'), ('B002'), ('C003'), ('D004')) w(wkr_no)
   WHERE NOT EXISTS (SELECT 1 FROM user_comp_lst u WHERE u.wkr_no = w.wkr_no AND u.comp_name = ws);
  RETURN ws;
END
$$;

-- ---------------------------------------------------------------------------------------
-- Circulation rules. Photocopy loans all run under the rule chosen at the desk:
--   COPY01  3 days, 1 day of grace, then 0.10 a day for the first 5 days and 0.20 a day
--           after; at most 3 loans per location, 2 of one circulation type
--   COPY02  4 hours, 1 hour of grace, then 0.50 an hour for the first 4 hours and 1.00
--           an hour after; at most 2 loans per location, 1 of one circulation type
-- PT01 is the stack's ordinary lending rule.
-- ---------------------------------------------------------------------------------------
INSERT INTO circ_rule (rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty,
                       perg_ysno, renew_ysno, max_renew_times, renew_bef_exp_days,
                       fst_renew_days, add_renew_days, preg_keep_days, min_use_days,
                       use_bef_exp_days, use_aft_asback_days, max_excd_times,
                       fst_notice, snd_notice, thd_notice, unfine_ext_days, fst_fine_days,
                       fst_fine_price, other_fine_price, tech_fee, serv_fee,
                       fst_notice_no, snd_notice_no, thd_notice_no, preg_notice_no,
                       keep_book_qty, renew_calc_flag, rule_flag, reg_day, upt_day, resp_wkr)
VALUES
  ('COPY01', '复印外借（按天）',   'D', 3,  2, 3,  '0', '0', 0, 0, 0,  0,  0, 0, 0, 0, 0,
   0, 0, 0,  1, 5, 0.10, 0.20, 0.00, 0.00, '', '', '', '', 0, '0', '1',
   to_char(current_date - 400, 'YYYY-MM-DD'), to_char(current_date - 400, 'YYYY-MM-DD'), 'A001'),
  ('COPY02', '复印外借（按小时）', 'H', 4,  1, 2,  '0', '0', 0, 0, 0,  0,  0, 0, 0, 0, 0,
   0, 0, 0,  1, 4, 0.50, 1.00, 0.00, 0.00, '', '', '', '', 0, '0', '1',
   to_char(current_date - 400, 'YYYY-MM-DD'), to_char(current_date - 400, 'YYYY-MM-DD'), 'A001'),
  ('PT01',   '普通外借',           'D', 30, 5, 10, '1', '1', 2, 7, 30, 15, 7, 0, 3, 7, 3,
   3, 10, 20, 3, 30, 0.10, 0.20, 2.00, 1.00, '01', '02', '03', '04', 1, '1', '1',
   to_char(current_date - 400, 'YYYY-MM-DD'), to_char(current_date - 400, 'YYYY-MM-DD'), 'A001')
ON CONFLICT DO NOTHING;

-- Rule components, highest number first: reference books in the reading rooms go by the
-- hour, everything else in the reading rooms by the day, the stack lends normally.
INSERT INTO rule_comp (no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c, r_dep_id) VALUES
  (30, 'COPY02', 'R1,R2', '03',       '10,20,30,90', NULL),
  (20, 'COPY01', 'R*',    '*',        '10,20,30,90', NULL),
  (10, 'PT01',   'S1',    '01,02,09', '10,20,30',    NULL)
ON CONFLICT DO NOTHING;

-- At most 4 photocopy loans in the reading-room group, whatever the reader type.
INSERT INTO group_rule_comp (r_group_id, redr_type_code_r, max_lend_qty) VALUES
  ('G1', '*', 4)
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Reader types. 90 is the type that the reading rooms do not count as local readers.
-- ---------------------------------------------------------------------------------------
INSERT INTO reader_type (redr_type_code, redr_type_name, redr_attr_1, redr_attr_2, redr_attr_3,
                         chk_validity_period, max_lend_qty, max_debt_amt, max_preg_qty,
                         max_preg_days, remark, code_use_flag) VALUES
  ('10', '本科生',   '学生', '校内', '', '1', 10, 10.00, 3,  7,  '本科在校学生',     '1'),
  ('20', '研究生',   '学生', '校内', '', '1', 15, 20.00, 5,  7,  '硕士、博士研究生', '1'),
  ('30', '教职工',   '教工', '校内', '', '0', 30, 50.00, 10, 10, '在职及退休教职工', '1'),
  ('90', '校外读者', '其他', '校外', '', '1', 5,  5.00,  0,  0,  '持证校外读者',     '1')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Readers D0000001 .. D0000010, one situation each; everything else about them is in
-- order, so that each is admitted or refused for exactly one reason:
--   D0000001 valid (本科生)                   D0000006 card expired a month ago (研究生,
--   D0000002 valid, other type (教职工)                a type whose validity is checked)
--   D0000003 reader deregistered              D0000007 unsettled violation, suspended
--   D0000004 card cancelled                            until next year
--   D0000005 card reported lost               D0000008 suspension that ended last month
--                                             D0000009 owes 12.30, above the 10.00 of
--                                                      本科生; the charges are at R1
--                                             D0000010 校外读者, not local in the rooms
-- Reader n has the certificate number R000000n (R0000010 for the tenth).
-- ---------------------------------------------------------------------------------------
INSERT INTO reader (cert_id, redr_type_code, lend_grd, id_card, name, sex, birthday, dept,
                    occupation, duty, position, education, address, postcode, tele, mobile,
                    email, code01, code02, r_dep_id, volt_flag, debt_flag, total_lend_qty,
                    year_lend_qty, redr_flag, redr_reg_day, redr_del_day, deposit, obligate,
                    password, remark)
SELECT r.cert_id, r.type, r.grd, r.id_card, r.name, r.sex, r.birthday, r.dept,
       r.occupation, r.duty, r.position, r.education, r.address, '100871', r.tele, r.mobile,
       lower(r.cert_id) || '@example.edu.cn', r.code01, NULL, r.dep,
       r.volt, r.debt, r.total_lend, r.year_lend, r.flag,
       to_char(current_date - r.reg_ago, 'YYYY-MM-DD'),
       CASE WHEN r.flag = '0' THEN to_char(current_date - 60, 'YYYY-MM-DD') END,
       r.deposit, r.obligate, '123456', r.remark
  FROM (VALUES
    ('R0000001', '10', '02', '110108200301150012', '张伟', 'M', '2003-01-15', '信息科学与技术学院',
     '学生', '', '', '本科', '学生公寓5号楼312', '', '13800000001', '2021级', '10',
     0, 0.00, 12, 4, '1', 800, 0.00, 10.00, ''),
    ('R0000002', '30', '01', '110108197805230021', '李娜', 'F', '1978-05-23', '文学院',
     '教师', '系副主任', '副教授', '博士', '燕园小区3楼2单元', '010-62751234', '13800000002', NULL, '01',
     0, 0.00, 86, 9, '1', 3000, 100.00, 0.00, ''),
    ('R0000003', '10', '02', '110108200207080033', '王芳', 'F', '2002-07-08', '文学院',
     '学生', '', '', '本科', '学生公寓7号楼105', '', '13800000003', '2020级', '01',
     0, 0.00, 25, 0, '0', 1500, 0.00, 0.00, '已办理离校手续'),
    ('R0000004', '20', '02', '110108199911110044', '刘洋', 'M', '1999-11-11', '研究生院',
     '学生', '', '', '硕士', '研究生公寓2号楼208', '', '13800000004', '2022级', '12',
     0, 0.00, 30, 6, '1', 700, 0.00, 0.00, ''),
    ('R0000005', '10', '02', '110108200302020055', '陈静', 'F', '2003-02-02', '外国语学院',
     '学生', '', '', '本科', '学生公寓3号楼410', '', '13800000005', '2021级', '03',
     0, 0.00, 8, 2, '1', 800, 0.00, 0.00, ''),
    ('R0000006', '20', '02', '110108199804040066', '杨帆', 'M', '1998-04-04', '数学科学学院',
     '学生', '', '', '硕士', '研究生公寓1号楼506', '', '13800000006', '2020级', '06',
     0, 0.00, 41, 0, '1', 1200, 0.00, 0.00, ''),
    ('R0000007', '10', '02', '110108200209090077', '赵磊', 'M', '2002-09-09', '经济管理学院',
     '学生', '', '', '本科', '学生公寓5号楼220', '', '13800000007', '2021级', '05',
     1, 0.00, 17, 5, '1', 800, 0.00, 0.00, ''),
    ('R0000008', '20', '02', '110108199712120088', '黄敏', 'F', '1997-12-12', '生命科学学院',
     '学生', '', '', '博士', '研究生公寓4号楼101', '', '13800000008', '2021级', '09',
     1, 0.00, 52, 7, '1', 1000, 0.00, 0.00, ''),
    ('R0000009', '10', '02', '110108200306060099', '周杰', 'M', '2003-06-06', '信息科学与技术学院',
     '学生', '', '', '本科', '学生公寓6号楼333', '', '13800000009', '2021级', '10',
     0, 12.30, 19, 6, '1', 800, 0.00, 50.00, ''),
    ('R0000010', '90', '03', '110101198503030100', '吴婷', 'F', '1985-03-03', '中关村软件园',
     '工程师', '', '高级工程师', '本科', '北京市海淀区中关村大街1号', '', '13800000010', NULL, '30',
     0, 0.00, 3, 1, '1', 200, 200.00, 0.00, '校外合作单位人员')
  ) r(cert_id, type, grd, id_card, name, sex, birthday, dept, occupation, duty, position,
      education, address, tele, mobile, code01, dep, volt, debt, total_lend, year_lend, flag,
      reg_ago, deposit, obligate, remark)
ON CONFLICT DO NOTHING;

-- Forty ordinary readers who fill the reading history: R1000001 .. R1000040 with the
-- cards D1000001 .. D1000040, students and staff of several schools.
INSERT INTO reader (cert_id, redr_type_code, lend_grd, id_card, name, sex, birthday, dept,
                    occupation, duty, position, education, address, postcode, tele, mobile,
                    email, code01, code02, r_dep_id, volt_flag, debt_flag, total_lend_qty,
                    year_lend_qty, redr_flag, redr_reg_day, redr_del_day, deposit, obligate,
                    password, remark)
SELECT 'R' || (1000000 + i)::text,
       t.type, CASE WHEN t.type = '30' THEN '01' ELSE '02' END,
       '1101082' || lpad((i * 7919 % 1000000)::text, 6, '0') || lpad(i::text, 5, '0'),
       (ARRAY['王','李','张','刘','陈','杨','黄','赵','吴','周','徐','孙','马','朱','胡','郭','何','高','林','罗'])[1 + (i * 7) % 20]
         || (ARRAY['子涵','浩然','欣怡','宇轩','梓萱','俊杰','雨桐','思远','佳琪','明轩','一鸣','嘉怡','晨曦','博文','诗涵'])[1 + (i * 11) % 15],
       CASE WHEN i % 2 = 0 THEN 'F' ELSE 'M' END,
       to_char(date '1980-01-01' + (i * 331) % 9000, 'YYYY-MM-DD'),
       d.dep_name,
       CASE WHEN t.type = '30' THEN '教师' ELSE '学生' END, '', '',
       CASE t.type WHEN '10' THEN '本科' WHEN '20' THEN '硕士' ELSE '博士' END,
       '', '100871', '', '139' || lpad((10000000 + i)::text, 8, '0'),
       'r' || (1000000 + i)::text || '@example.edu.cn',
       CASE WHEN t.type <> '30' THEN (2020 + i % 4)::text || '级' END,
       NULL, d.dep_id, 0, 0.00, i % 37, i % 9, '1',
       to_char(current_date - 400 - i, 'YYYY-MM-DD'), NULL, 0.00, 0.00, '123456', ''
  FROM generate_series(1, 40) i
 CROSS JOIN LATERAL (SELECT (ARRAY['10','10','10','20','20','30'])[1 + i % 6] AS type) t
  JOIN department d
    ON d.dep_id = (ARRAY['01','02','03','04','05','06','07','08','09','10','11','20'])[1 + (i * 5) % 12]
ON CONFLICT DO NOTHING;

-- Cards. cert_flag: "1" valid, "0" cancelled, "2" reported lost.
INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, charge, resp_wkr)
SELECT 'D' || substr(c.cert_id, 2), c.cert_id, c.flag,
       to_char(current_date - c.bgn_ago, 'YYYY-MM-DD'),
       to_char(current_date - c.bgn_ago, 'YYYY-MM-DD'),
       to_char(current_date + c.end_in, 'YYYY-MM-DD'),
       10.00, 'A001'
  FROM (VALUES
    ('R0000001', '1', 800, 1000),
    ('R0000002', '1', 3000, 3000),
    ('R0000003', '1', 1500, 400),
    ('R0000004', '0', 700, 800),
    ('R0000005', '2', 800, 1000),
    ('R0000006', '1', 1200, -30),
    ('R0000007', '1', 800, 1000),
    ('R0000008', '1', 1000, 600),
    ('R0000009', '1', 800, 1000),
    ('R0000010', '1', 200, 165)
  ) c(cert_id, flag, bgn_ago, end_in)
ON CONFLICT DO NOTHING;

INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, charge, resp_wkr)
SELECT 'D' || (1000000 + i)::text, 'R' || (1000000 + i)::text, '1',
       to_char(current_date - 400 - i, 'YYYY-MM-DD'),
       to_char(current_date - 400 - i, 'YYYY-MM-DD'),
       to_char(current_date + 700 + i, 'YYYY-MM-DD'),
       10.00, 'B002'
  FROM generate_series(1, 40) i
ON CONFLICT DO NOTHING;

-- The item lists of the reader search window, from the readers above: 11 departments,
-- 12 occupations, 13 grade groups (code01), 14 department codes, 15 reader types.
INSERT INTO tmp_itemlist (itemtype, itemcontent)
SELECT DISTINCT l.itemtype, l.itemcontent
  FROM reader r
 CROSS JOIN LATERAL (VALUES ('11', r.dept), ('12', r.occupation), ('13', r.code01),
                            ('14', r.r_dep_id), ('15', r.redr_type_code)) l(itemtype, itemcontent)
 WHERE coalesce(l.itemcontent, '') <> ''
ON CONFLICT DO NOTHING;

-- The loss report of D0000005 (cert_lose_flag "1": still lost).
INSERT INTO cert_loss (redr_cert_id, lose_date, solv_date, cert_lose_flag, resp_wkr, remark)
SELECT 'D0000005', to_char(current_date - 15, 'YYYY-MM-DD'), NULL, '1', 'B002', '读者电话挂失'
ON CONFLICT DO NOTHING;

-- Violations. D0000007 is fined and suspended until the spring of next year; D0000008's
-- suspension ended last month but is still marked as running, which the admission check
-- clears.
INSERT INTO reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt,
                             fine_date, bill_no, froz_end_date, volt_deal_flag, resp_wkr, remark)
SELECT 'R0000007', to_char(current_date - 20, 'YYYY-MM-DD') || '10:12:30', '07', NULL, 'R1',
       20.00, NULL, NULL,
       to_char(date_trunc('year', current_date)::date + interval '1 year 2 months', 'YYYY-MM-DD'),
       '3', 'A001', '在阅览室内大声喧哗，劝阻无效'
UNION ALL
SELECT 'R0000008', to_char(date_trunc('month', current_date)::date - 40, 'YYYY-MM-DD') || '15:40:00',
       '06', 'P0000012', 'R1', 0.00, NULL, NULL,
       to_char(date_trunc('month', current_date)::date - 10, 'YYYY-MM-DD'),
       '1', 'B002', '未办手续携书出阅览室'
ON CONFLICT DO NOTHING;
-- ---------------------------------------------------------------------------------------
-- ISO 2709 records.
--
-- A record is the 24-character leader, the directory (one 12-character entry per field:
-- tag, field length in 4 digits, field start in 5 digits, then the field terminator), the
-- fields and the record terminator. Lengths and starts count bytes of the UTF-8 text;
-- starts are relative to the base address (leader positions 12-16), which is where the
-- first field begins. Every field ends with 0x1E, the record with 0x1D, subfields begin
-- with 0x1F and their one-character code.
-- ---------------------------------------------------------------------------------------

-- Builds one record. p_leader gives the leader's fixed positions (5-11 and 17-23); the
-- record length and the base address are computed. p_values holds the field texts in
-- the order of p_tags: a control field (tag 001-009) is its bare text, a data field its
-- two indicators followed by its subfields, each written as "$" and the subfield code.
CREATE OR REPLACE FUNCTION demo_iso2709(p_leader text, p_tags text[], p_values text[])
RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  dir    text := '';
  fields text := '';
  fld    text;
  pos    integer := 0;
  len    integer;
  base   integer;
  total  integer;
  lead   text := rpad(coalesce(p_leader, ''), 24, ' ');
BEGIN
  IF coalesce(array_length(p_tags, 1), 0) <> coalesce(array_length(p_values, 1), 0) THEN
    RAISE EXCEPTION 'demo_iso2709: % tags but % values',
      array_length(p_tags, 1), array_length(p_values, 1);
  END IF;
  FOR i IN 1 .. coalesce(array_length(p_tags, 1), 0) LOOP
    IF p_tags[i] !~ '^[0-9A-Za-z]{3}$' THEN
      RAISE EXCEPTION 'demo_iso2709: bad tag "%"', p_tags[i];
    END IF;
    fld := replace(p_values[i], '$', chr(31)) || chr(30);
    len := octet_length(fld);
    IF len > 9999 OR pos > 99999 THEN
      RAISE EXCEPTION 'demo_iso2709: field % too long', p_tags[i];
    END IF;
    dir := dir || p_tags[i] || lpad(len::text, 4, '0') || lpad(pos::text, 5, '0');
    fields := fields || fld;
    pos := pos + len;
  END LOOP;
  dir := dir || chr(30);
  base := 24 + octet_length(dir);
  total := base + octet_length(fields) + 1;
  IF total > 99999 THEN
    RAISE EXCEPTION 'demo_iso2709: record of % bytes is too long', total;
  END IF;
  RETURN lpad(total::text, 5, '0') || substr(lead, 6, 7) || lpad(base::text, 5, '0')
         || substr(lead, 18, 7) || dir || fields || chr(29);
END
$$;

-- Checks a record the way a reader walks it: NULL when it is well formed, otherwise
-- what is wrong. The leader's length and base address, the directory terminator, every
-- entry's bounds and terminator, the fields lying end to end, the record terminator.
CREATE OR REPLACE FUNCTION demo_iso2709_problem(p_record text)
RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  b      bytea := convert_to(p_record, 'UTF8');
  total  integer := length(convert_to(p_record, 'UTF8'));
  base   integer;
  n      integer;
  e      text;
  tag    text;
  len    integer;
  start  integer;
  expect integer := 0;
BEGIN
  IF total < 26 THEN RETURN 'shorter than a leader'; END IF;
  IF substr(p_record, 1, 5) !~ '^[0-9]{5}$' OR substr(p_record, 13, 5) !~ '^[0-9]{5}$' THEN
    RETURN 'leader length or base address not numeric';
  END IF;
  IF substr(p_record, 1, 5)::integer <> total THEN
    RETURN format('leader says %s bytes, record has %s', substr(p_record, 1, 5), total);
  END IF;
  base := substr(p_record, 13, 5)::integer;
  IF base < 25 OR (base - 25) % 12 <> 0 OR base >= total THEN
    RETURN format('base address %s does not fit a directory', base);
  END IF;
  IF get_byte(b, base - 1) <> 30 THEN RETURN 'directory not terminated by 0x1E'; END IF;
  IF get_byte(b, total - 1) <> 29 THEN RETURN 'record not terminated by 0x1D'; END IF;
  n := (base - 25) / 12;
  FOR i IN 0 .. n - 1 LOOP
    -- the leader and the directory are ASCII, so byte and character positions agree
    e := substr(p_record, 25 + 12 * i, 12);
    IF e !~ '^[0-9A-Za-z]{3}[0-9]{9}$' THEN
      RETURN format('directory entry %s "%s" malformed', i + 1, e);
    END IF;
    tag := substr(e, 1, 3);
    len := substr(e, 4, 4)::integer;
    start := substr(e, 8, 5)::integer;
    IF start <> expect THEN
      RETURN format('field %s starts at %s, expected %s', tag, start, expect);
    END IF;
    IF len < 1 OR base + start + len > total - 1 THEN
      RETURN format('field %s (%s+%s) runs outside the record', tag, start, len);
    END IF;
    IF get_byte(b, base + start + len - 1) <> 30 THEN
      RETURN format('field %s does not end with 0x1E', tag);
    END IF;
    IF position('\x1e'::bytea IN substring(b FROM base + start + 1 FOR len - 1)) > 0 THEN
      RETURN format('field %s contains a field terminator', tag);
    END IF;
    BEGIN
      PERFORM convert_from(substring(b FROM base + start + 1 FOR len), 'UTF8');
    EXCEPTION WHEN OTHERS THEN
      RETURN format('field %s cuts a UTF-8 character', tag);
    END;
    expect := start + len;
  END LOOP;
  IF base + expect <> total - 1 THEN
    RETURN format('fields end at byte %s, record terminator at %s', base + expect, total - 1);
  END IF;
  RETURN NULL;
END
$$;

-- ---------------------------------------------------------------------------------------
-- Titles. Chinese books are catalogued in CN MARC (marc_type "C"), foreign books in
-- US MARC ("U"); all carry a class number of the Chinese Library Classification
-- (scheme "1"): CN MARC in 690, US MARC in 093. Record n is marc_rec_no n written with
-- ten digits. The rows below are turned into ISO 2709 records, their headers, search
-- index entries and call numbers.
-- ---------------------------------------------------------------------------------------

-- The EAN-13 of twelve digits: the digits and their check digit.
CREATE OR REPLACE FUNCTION pg_temp.demo_ean13(p_digits text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
  SELECT p_digits || ((10 - (SELECT sum(substr(p_digits, i, 1)::integer * CASE WHEN i % 2 = 0 THEN 3 ELSE 1 END)
                               FROM generate_series(1, 12) i) % 10) % 10)::text
$$;

CREATE TEMP TABLE demo_title (
  no          integer PRIMARY KEY,
  fmt         text,      -- 'C' CN MARC, 'U' US MARC
  ean12       text,
  title       text,
  part_no     text,      -- 200$h / 245$n
  part_name   text,      -- 200$i / 245$p
  other_title text,      -- 200$e / 245$b
  resp        text,      -- 200$f / 245$c
  resp2       text,      -- 200$g (CN MARC only)
  authors     text[],    -- 701 / 100 and 700
  contribs    text[],    -- 702 / 700
  edition     text,
  place       text,
  pub_ctry    text,      -- US MARC 008 place code
  publisher   text,
  pub_year    text,
  pages       text,
  size        text,
  price       numeric(12,2),
  clc         text,
  call_no     text,
  subjects    text[],    -- headings, subdivisions separated by "--"
  lang        text,
  orig_lang   text,
  country     text,
  circ_type   text,
  lend_grd    text,
  summary     text,
  contents    text
) ON COMMIT DROP;

INSERT INTO demo_title (no, fmt, ean12, title, part_no, part_name, other_title, resp, resp2, authors,
                        contribs, edition, place, pub_ctry, publisher, pub_year, pages, size, price,
                        clc, call_no, subjects, lang, orig_lang, country, circ_type, lend_grd,
                        summary, contents) VALUES
  (1, 'C', '978702000220', '红楼梦', NULL, NULL, NULL, '(清)曹雪芹, (清)高鹗著', '中国艺术研究院红楼梦研究所校注',
   '{曹雪芹,高鹗}', '{中国艺术研究院红楼梦研究所}', '第3版', '北京', NULL, '人民文学出版社', '2008',
   '2册(1606页)', '23cm', 59.70, 'I242.4', 'I242.4/C342', '{章回小说--中国--清代}', 'chi', NULL, 'CN', '01', '02',
   '本书以贾、史、王、薛四大家族的兴衰为背景，以贾宝玉、林黛玉、薛宝钗的爱情婚姻悲剧为主线，描写了封建贵族大家庭由盛转衰的过程。', NULL),
  (2, 'C', '978702001342', '围城', NULL, NULL, NULL, '钱锺书著', NULL,
   '{钱锺书}', NULL, NULL, '北京', NULL, '人民文学出版社', '1991',
   '359页', '21cm', 19.00, 'I246.5', 'I246.5/Q345', '{长篇小说--中国--现代}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (3, 'C', '978753024939', '平凡的世界', NULL, NULL, NULL, '路遥著', NULL,
   '{路遥}', NULL, NULL, '北京', NULL, '北京十月文艺出版社', '2012',
   '3册', '21cm', 108.00, 'I247.5', 'I247.5/L675', '{长篇小说--中国--当代}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (4, 'C', '978753669293', '三体', NULL, NULL, NULL, '刘慈欣著', NULL,
   '{刘慈欣}', NULL, NULL, '重庆', NULL, '重庆出版社', '2008',
   '302页', '23cm', 23.00, 'I247.55', 'I247.55/L718', '{科学幻想小说--中国--当代}', 'chi', NULL, 'CN', '01', '02',
   '文化大革命期间，一项秘密的军事工程向宇宙发出了地球文明的信息；四光年外的三体文明收到了它。', NULL),
  (5, 'C', '978750636543', '活着', NULL, NULL, NULL, '余华著', NULL,
   '{余华}', NULL, NULL, '北京', NULL, '作家出版社', '2012',
   '191页', '21cm', 20.00, 'I247.57', 'I247.57/Y712', '{中篇小说--中国--当代}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (6, 'C', '978756174488', '中国通史', NULL, NULL, NULL, '吕思勉著', NULL,
   '{吕思勉}', NULL, NULL, '上海', NULL, '华东师范大学出版社', '2005',
   '560页', '24cm', 45.00, 'K20', 'K20/L792', '{中国历史--通史}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (7, 'C', '978730214751', '数据结构', NULL, NULL, 'C语言版', '严蔚敏, 吴伟民编著', NULL,
   '{严蔚敏,吴伟民}', NULL, NULL, '北京', NULL, '清华大学出版社', '2007',
   '334页', '26cm', 30.00, 'TP311.12', 'TP311.12/Y204', '{数据结构--高等学校--教材,C语言--程序设计--高等学校--教材}', 'chi', NULL, 'CN', '09', '02', NULL, NULL),
  (8, 'C', '978704039663', '高等数学', '上册', NULL, NULL, '同济大学数学系编', NULL,
   '{同济大学数学系}', NULL, '第7版', '北京', NULL, '高等教育出版社', '2014',
   '386页', '23cm', 47.60, 'O13', 'O13/T843/1', '{高等数学--高等学校--教材}', 'chi', NULL, 'CN', '09', '02', NULL, NULL),
  (9, 'C', '978730119269', '乡土中国', NULL, NULL, NULL, '费孝通著', NULL,
   '{费孝通}', NULL, NULL, '北京', NULL, '北京大学出版社', '2012',
   '163页', '21cm', 25.00, 'C912.82', 'C912.82/F334', '{乡村--社会学--研究--中国}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (10, 'C', '978710100304', '史记', NULL, NULL, NULL, '(汉)司马迁撰', '(南朝宋)裴骃集解',
   '{司马迁}', '{裴骃}', NULL, '北京', NULL, '中华书局', '2006',
   '10册', '21cm', 238.00, 'K204.2', 'K204.2/S672', '{中国历史--古代史--纪传体}', 'chi', NULL, 'CN', '01', '02', NULL,
   '本纪十二篇，表十篇，书八篇，世家三十篇，列传七十篇。'),
  (11, 'C', '978730125691', '经济学原理', NULL, '微观经济学分册', NULL, '(美)曼昆著', '梁小民, 梁砾译',
   '{曼昆}', '{梁小民,梁砾}', '第7版', '北京', NULL, '北京大学出版社', '2015',
   '540页', '26cm', 64.00, 'F0', 'F0/M214', '{经济学--教材}', 'chi', 'eng', 'CN', '01', '02', NULL, NULL),
  (12, 'C', '978712130295', '计算机网络', NULL, NULL, NULL, '谢希仁编著', NULL,
   '{谢希仁}', NULL, '第7版', '北京', NULL, '电子工业出版社', '2017',
   '455页', '26cm', 45.00, 'TP393', 'TP393/X510', '{计算机网络--高等学校--教材}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (13, 'U', '978013110362', 'The C programming language', NULL, NULL, NULL, 'Brian W. Kernighan, Dennis M. Ritchie', NULL,
   '{"Kernighan, Brian W.","Ritchie, Dennis M."}', NULL, '2nd ed.', 'Englewood Cliffs, N.J.', 'nju', 'Prentice Hall', '1988',
   'xii, 272 p.', '24 cm', 45.00, 'TP312C', 'TP312C/K39', '{C (Computer program language)}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (14, 'U', '978026203384', 'Introduction to algorithms', NULL, NULL, NULL, 'Thomas H. Cormen ... [et al.]', NULL,
   '{"Cormen, Thomas H."}', '{"Leiserson, Charles E.","Rivest, Ronald L.","Stein, Clifford"}', '3rd ed.',
   'Cambridge, Mass.', 'mau', 'MIT Press', '2009',
   'xix, 1292 p.', '24 cm', 98.00, 'TP301.6', 'TP301.6/C811', '{Computer programming,Computer algorithms}', 'eng', NULL, 'US', '09', '02',
   'A comprehensive introduction to the modern study of computer algorithms. It presents many algorithms and covers them '
   || 'in considerable depth, yet makes their design and analysis accessible to all levels of readers. Each chapter is '
   || 'relatively self-contained and can be used as a unit of study. The algorithms are described in English and in a '
   || 'pseudocode designed to be readable by anyone who has done a little programming. The explanations have been kept '
   || 'elementary without sacrificing depth of coverage or mathematical rigor. This edition adds chapters on van Emde '
   || 'Boas trees and multithreaded algorithms, substantial additions to the chapter on recurrences, and many new exercises and problems.',
   'I. Foundations. 1. The role of algorithms in computing -- 2. Getting started -- 3. Growth of functions -- '
   || '4. Divide-and-conquer -- 5. Probabilistic analysis and randomized algorithms -- '
   || 'II. Sorting and order statistics. 6. Heapsort -- 7. Quicksort -- 8. Sorting in linear time -- '
   || '9. Medians and order statistics -- III. Data structures. 10. Elementary data structures -- 11. Hash tables -- '
   || '12. Binary search trees -- 13. Red-black trees -- 14. Augmenting data structures -- '
   || 'IV. Advanced design and analysis techniques. 15. Dynamic programming -- 16. Greedy algorithms -- '
   || '17. Amortized analysis -- V. Advanced data structures. 18. B-trees -- 19. Fibonacci heaps -- '
   || '20. van Emde Boas trees -- 21. Data structures for disjoint sets -- VI. Graph algorithms. '
   || '22. Elementary graph algorithms -- 23. Minimum spanning trees -- 24. Single-source shortest paths -- '
   || '25. All-pairs shortest paths -- 26. Maximum flow -- VII. Selected topics. 27. Multithreaded algorithms -- '
   || '28. Matrix operations -- 29. Linear programming -- 30. Polynomials and the FFT -- '
   || '31. Number-theoretic algorithms -- 32. String matching -- 33. Computational geometry -- '
   || '34. NP-completeness -- 35. Approximation algorithms -- VIII. Appendix: mathematical background. '
   || 'A. Summations -- B. Sets, etc. -- C. Counting and probability -- D. Matrices.'),
  (15, 'U', '978014143951', 'Pride and prejudice', NULL, NULL, NULL, 'Jane Austen', NULL,
   '{"Austen, Jane"}', NULL, NULL, 'London', 'enk', 'Penguin Books', '2003',
   'xliv, 435 p.', '20 cm', 38.00, 'I561.44', 'I561.44/A933', '{Courtship--England--Fiction,Sisters--Fiction}', 'eng', NULL, 'GB', '02', '02', NULL, NULL),
  (16, 'U', '978055305340', 'A brief history of time', NULL, NULL, 'from the big bang to black holes', 'Stephen W. Hawking', NULL,
   '{"Hawking, Stephen W."}', NULL, NULL, 'Toronto', 'onc', 'Bantam Books', '1988',
   'x, 198 p.', '24 cm', 42.00, 'P159', 'P159/H392', '{Cosmology}', 'eng', NULL, 'CA', '02', '02', NULL, NULL),
  (17, 'U', '978046502656', 'Gödel, Escher, Bach', NULL, NULL, 'an eternal golden braid', 'Douglas R. Hofstadter', NULL,
   '{"Hofstadter, Douglas R."}', NULL, '20th anniversary ed.', 'New York', 'nyu', 'Basic Books', '1999',
   'xxi, 777 p.', '23 cm', 88.00, 'B81', 'B81/H713', '{Gödel''s theorem,Artificial intelligence}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (18, 'U', '978020163361', 'Design patterns', NULL, NULL, 'elements of reusable object-oriented software', 'Erich Gamma ... [et al.]', NULL,
   '{"Gamma, Erich"}', '{"Helm, Richard","Johnson, Ralph","Vlissides, John"}', NULL, 'Reading, Mass.', 'mau', 'Addison-Wesley', '1995',
   'xv, 395 p.', '25 cm', 79.00, 'TP311.5', 'TP311.5/G188', '{Object-oriented programming (Computer science),Computer software--Reusability}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (19, 'U', '978022645808', 'The structure of scientific revolutions', NULL, NULL, NULL, 'Thomas S. Kuhn', NULL,
   '{"Kuhn, Thomas S."}', NULL, '3rd ed.', 'Chicago', 'ilu', 'University of Chicago Press', '1996',
   'xiv, 212 p.', '21 cm', 36.00, 'G301', 'G301/K96', '{Science--Philosophy,Science--History}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (20, 'U', '978026251087', 'Structure and interpretation of computer programs', NULL, NULL, NULL,
   'Harold Abelson and Gerald Jay Sussman with Julie Sussman', NULL,
   '{"Abelson, Harold"}', '{"Sussman, Gerald Jay","Sussman, Julie"}', '2nd ed.', 'Cambridge, Mass.', 'mau', 'MIT Press', '1996',
   'xxiii, 657 p.', '24 cm', 75.00, 'TP311.1', 'TP311.1/A141', '{Computer programming,LISP (Computer program language)}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (21, 'C', '978710111903', '唐诗三百首', NULL, NULL, NULL, '(清)蘅塘退士编', '陈婉俊补注',
   '{蘅塘退士}', '{陈婉俊}', NULL, '北京', NULL, '中华书局', '2016',
   '389页', '21cm', 28.00, 'I222.742', 'I222.742/H498', '{唐诗--诗集}', 'chi', NULL, 'CN', '01', '02', NULL, NULL),
  (22, 'C', '978750864735', '人类简史', NULL, NULL, '从动物到上帝', '(以)尤瓦尔·赫拉利著', '林俊宏译',
   '{尤瓦尔·赫拉利}', '{林俊宏}', NULL, '北京', NULL, '中信出版社', '2014',
   '440页', '24cm', 68.00, 'K02', 'K02/H039', '{世界史--通俗读物}', 'chi', 'heb', 'CN', '01', '02', NULL, NULL),
  (23, 'U', '978013235088', 'Clean code', NULL, NULL, 'a handbook of agile software craftsmanship', 'Robert C. Martin', NULL,
   '{"Martin, Robert C."}', NULL, NULL, 'Upper Saddle River, NJ', 'nju', 'Prentice Hall', '2009',
   'xxix, 431 p.', '24 cm', 69.00, 'TP311.5', 'TP311.5/M379', '{Agile software development,Computer software--Reliability}', 'eng', NULL, 'US', '02', '02', NULL, NULL),
  (24, 'C', '978750007951', '中国大百科全书', '1', '阿巴嘎旗—巴西', NULL, '中国大百科全书总编辑委员会编', NULL,
   '{中国大百科全书总编辑委员会}', NULL, '第2版', '北京', NULL, '中国大百科全书出版社', '2009',
   '610页', '29cm', 680.00, 'Z256.1', 'Z256.1/Z665/1', '{百科全书--中国}', 'chi', NULL, 'CN', '03', '03', NULL, NULL);

-- The fields of each record; the directory lists them by tag, repeated tags in this order.
CREATE TEMP TABLE demo_field ON COMMIT DROP AS
SELECT t.no, f.ord, f.tag, f.val
  FROM demo_title t
 CROSS JOIN LATERAL (
   -- CN MARC
   SELECT * FROM (VALUES
     (10, '001', lpad(t.no::text, 10, '0')),
     (20, '005', to_char(current_date - 500 + 3 * t.no, 'YYYYMMDD') || '093000.0'),
     (30, '010', '  $a' || pg_temp.demo_ean13(t.ean12) || '$dCNY' || t.price::text),
     (40, '100', '  $a' || to_char(current_date - 500 + 3 * t.no, 'YYYYMMDD') || 'd' || t.pub_year
                 || '    em y0chiy50      ea'),
     (50, '101', CASE WHEN t.orig_lang IS NULL THEN '0 $a' || t.lang
                      ELSE '1 $a' || t.lang || '$c' || t.orig_lang END),
     (60, '102', '  $a' || t.country),
     (70, '105', '  $ay   z   000yy'),
     (80, '106', '  $ar'),
     (90, '200', '1 $a' || t.title || coalesce('$h' || t.part_no, '') || coalesce('$i' || t.part_name, '')
                 || coalesce('$e' || t.other_title, '') || '$f' || t.resp || coalesce('$g' || t.resp2, '')),
     (100, '205', '  $a' || t.edition),
     (110, '210', '  $a' || t.place || '$c' || t.publisher || '$d' || t.pub_year),
     (120, '215', '  $a' || t.pages || '$d' || t.size),
     (130, '327', '0 $a' || t.contents),
     (140, '330', '  $a' || t.summary),
     (160, '690', '  $a' || t.clc || '$v5'),
     (190, '801', ' 0$aCN$b000001$c' || to_char(current_date - 500 + 3 * t.no, 'YYYYMMDD')),
     (200, '905', '  $a000001$d' || split_part(t.call_no, '/', 1) || '$e' || substr(t.call_no, strpos(t.call_no, '/') + 1))
   ) v(ord, tag, val)
    WHERE t.fmt = 'C'
   UNION ALL
   SELECT 150 + i, '606', '0 $a' || replace(s, '--', '$x') FROM unnest(t.subjects) WITH ORDINALITY u(s, i) WHERE t.fmt = 'C'
   UNION ALL
   -- persons in 701/702, bodies (a committee, a department) in 711/712; the relator
   -- term is the last word of the statement of responsibility
   SELECT 170 + i, CASE WHEN a ~ '(委员会|系|研究所)$' THEN '711' ELSE '701' END,
          CASE WHEN a ~ '(委员会|系|研究所)$' THEN '02' ELSE ' 0' END || '$a' || a
          || '$4' || substring(t.resp FROM '(编著|编|撰|著)$')
     FROM unnest(t.authors) WITH ORDINALITY u(a, i) WHERE t.fmt = 'C'
   UNION ALL
   SELECT 180 + i, CASE WHEN a ~ '(委员会|系|研究所)$' THEN '712' ELSE '702' END,
          CASE WHEN a ~ '(委员会|系|研究所)$' THEN '02' ELSE ' 0' END || '$a' || a
          || coalesce('$4' || substring(t.resp2 FROM '(译|校注|集解|补注)$'), '')
     FROM unnest(t.contribs) WITH ORDINALITY u(a, i) WHERE t.fmt = 'C'
   -- US MARC
   UNION ALL
   SELECT * FROM (VALUES
     (10, '001', lpad(t.no::text, 10, '0')),
     (20, '005', to_char(current_date - 500 + 3 * t.no, 'YYYYMMDD') || '093000.0'),
     (30, '008', to_char(current_date - 500 + 3 * t.no, 'YYMMDD') || 's' || t.pub_year || '    ' || t.pub_ctry
                 || repeat(' ', 11) || '001 ' || CASE WHEN t.clc LIKE 'I%' THEN '1' ELSE '0' END || ' '
                 || t.lang || ' d'),
     (40, '020', '  $a' || pg_temp.demo_ean13(t.ean12)),
     (50, '093', '  $a' || split_part(t.call_no, '/', 1) || '$b' || substr(t.call_no, strpos(t.call_no, '/') + 1)),
     (60, '100', '1 $a' || t.authors[1]),
     (70, '245', CASE WHEN t.authors IS NULL THEN '0' ELSE '1' END
                 || CASE WHEN t.title LIKE 'The %' THEN '4' WHEN t.title LIKE 'An %' THEN '3'
                         WHEN t.title LIKE 'A %' THEN '2' ELSE '0' END
                 || '$a' || t.title || coalesce('$b' || t.other_title, '') || coalesce('$n' || t.part_no, '')
                 || coalesce('$p' || t.part_name, '') || '$c' || t.resp),
     (80, '250', '  $a' || t.edition),
     (90, '260', '  $a' || t.place || '$b' || t.publisher || '$c' || t.pub_year),
     (100, '300', '  $a' || t.pages || '$c' || t.size),
     (110, '505', '0 $a' || t.contents),
     (120, '520', '  $a' || t.summary)
   ) v(ord, tag, val)
    WHERE t.fmt = 'U'
   UNION ALL
   SELECT 130 + i, '650', ' 0$a' || replace(s, '--', '$x') FROM unnest(t.subjects) WITH ORDINALITY u(s, i) WHERE t.fmt = 'U'
   UNION ALL
   SELECT 170 + i, '700', '1 $a' || a
     FROM unnest(coalesce(t.authors[2:], '{}') || coalesce(t.contribs, '{}')) WITH ORDINALITY u(a, i) WHERE t.fmt = 'U'
 ) f
 WHERE f.val IS NOT NULL;

INSERT INTO marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, marc_use_flag,
                  cata_oper, cata_date, m_call_no, m_title, m_author, m_publisher, m_pub_year,
                  m_isbn, m_classno)
SELECT lpad(t.no::text, 10, '0'), t.fmt,
       CASE t.fmt WHEN 'C' THEN '01' ELSE '02' END,
       t.lang, t.country, '1', 'A001',
       to_char(current_date - 500 + 3 * t.no, 'YYYY-MM-DD'),
       t.call_no,
       CASE t.fmt
         WHEN 'C' THEN t.title
              || CASE WHEN t.part_no IS NOT NULL AND t.part_name IS NOT NULL THEN '.' || t.part_no || ',' || t.part_name
                      ELSE coalesce('.' || t.part_no, '') || coalesce('.' || t.part_name, '') END
              || coalesce(':' || t.other_title, '') || coalesce('-' || t.edition, '')
         ELSE t.title || coalesce(' ' || t.other_title, '') || coalesce(' ' || t.part_no, '')
              || coalesce(' ' || t.part_name, '') || coalesce('-' || t.edition, '')
       END,
       t.resp, t.publisher, t.pub_year, pg_temp.demo_ean13(t.ean12), t.clc
  FROM demo_title t
ON CONFLICT DO NOTHING;

-- The record text is cut into pieces of 2000 characters: marc01, marc02, marc03 of row 1,
-- then of row 2 and so on.
INSERT INTO marc_data (marc_rec_no, data_serial, marc01, marc02, marc03)
SELECT r.rec_no, s,
       substr(r.rec, (s - 1) * 6000 + 1, 2000),
       nullif(substr(r.rec, (s - 1) * 6000 + 2001, 2000), ''),
       nullif(substr(r.rec, (s - 1) * 6000 + 4001, 2000), '')
  FROM (SELECT lpad(t.no::text, 10, '0') AS rec_no,
               demo_iso2709(CASE t.fmt WHEN 'C' THEN '00000nam0 2200000   450 ' ELSE '00000nam a2200000 c 4500' END,
                            array_agg(f.tag ORDER BY f.tag, f.ord), array_agg(f.val ORDER BY f.tag, f.ord)) AS rec
          FROM demo_title t
          JOIN demo_field f ON f.no = t.no
         GROUP BY t.no, t.fmt) r
 CROSS JOIN LATERAL generate_series(1, (char_length(r.rec) + 5999) / 6000) s
ON CONFLICT DO NOTHING;

-- Search index: title (without a leading article), responsible persons, subjects, class
-- number, ISBN, publisher, year; upper case, cut to the width of the index.
INSERT INTO marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont)
SELECT DISTINCT lpad(t.no::text, 10, '0'), i.grp, left(upper(i.cont), 60)
  FROM demo_title t
 CROSS JOIN LATERAL (
   SELECT '01', regexp_replace(t.title, '^(The|An|A) ', '')
   UNION ALL SELECT '02', unnest(t.authors || coalesce(t.contribs, '{}'))
   UNION ALL SELECT '03', split_part(unnest(t.subjects), '--', 1)
   UNION ALL SELECT '04', t.clc
   UNION ALL SELECT '05', pg_temp.demo_ean13(t.ean12)
   UNION ALL SELECT '08', t.publisher
   UNION ALL SELECT '09', t.pub_year
 ) i(grp, cont)
ON CONFLICT DO NOTHING;

INSERT INTO call_no_lst (call_no, marc_rec_no, cls_id, circ_type_code, lend_grd, reg_day, resp_wkr)
SELECT t.call_no, lpad(t.no::text, 10, '0'), '1', t.circ_type, t.lend_grd,
       to_char(current_date - 500 + 3 * t.no, 'YYYY-MM-DD'), 'A001'
  FROM demo_title t
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Items. prop_no is the barcode with "P" for "B". book_stat_code "43" reading only,
-- "41" lendable; book_lend_flag "0" on the shelf, "1" lent, "3" lent on commission.
-- ---------------------------------------------------------------------------------------
INSERT INTO item (prop_no, bar_code, marc_rec_no, call_no, location, book_stat_code, book_lend_flag,
                  attachment, price, regist_date, batch_no, resp_wkr, remark)
SELECT 'P' || substr(i.bar_code, 2), i.bar_code, lpad(t.no::text, 10, '0'), t.call_no, i.location,
       i.stat, i.lend_flag, i.attachment, t.price,
       to_char(current_date - 480 + 3 * t.no, 'YYYY-MM-DD'), 'DEMO-' || to_char(current_date - 480, 'YYYY'),
       'A001', i.remark
  FROM (SELECT 'B' || lpad(n::text, 7, '0') AS bar_code, n AS no, 'R1' AS location, '43' AS stat,
               '0' AS lend_flag, CASE WHEN n = 20 THEN '光盘1张' END AS attachment, NULL AS remark
          FROM generate_series(1, 20) n
        UNION ALL VALUES
          ('B0000101', 4,  'R2',    '43', '0', NULL, '复本'),
          ('B0000201', 1,  'S1',    '41', '0', NULL, '复本'),
          ('B0000301', 21, '99999', '43', '0', NULL, '新到图书，尚未分配馆藏地'),
          ('B0000401', 22, 'R1',    '43', '1', NULL, NULL),
          ('B0000402', 23, 'R1',    '43', '3', NULL, '委托借出'),
          ('B0000403', 24, 'R1',    '43', '0', NULL, '贵重图书')
       ) i(bar_code, no, location, stat, lend_flag, attachment, remark)
  JOIN demo_title t ON t.no = i.no
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Loans and charges.
-- B0000401 went out for photocopying a week ago to R1000001 under COPY01 and is overdue
-- since; returned today it is charged. D0000009's three late returns at R1 add up to the
-- 12.30 the reader owes (5 days at 0.10, then 0.20 a day).
-- ---------------------------------------------------------------------------------------
INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, attachment, resp_wkr, location)
SELECT 'R1000001', 'P0000401', to_char(current_date - 7, 'YYYY-MM-DD') || '10:15:00',
       to_char(current_date - 4, 'YYYY-MM-DD'), 'COPY01', '', 'A001', 'R1'
ON CONFLICT DO NOTHING;

CREATE TEMP TABLE demo_return ON COMMIT DROP AS
SELECT r.cert_id, r.prop_no,
       to_char(current_date - r.lent_ago, 'YYYY-MM-DD') || r.lend_time AS lend_date,
       to_char(current_date - r.lent_ago + 3, 'YYYY-MM-DD') AS norm_ret_date,
       to_char(current_date - r.ret_ago, 'YYYY-MM-DD') || r.ret_time AS ret_date,
       r.late, r.fine, r.descr, r.wkr
  FROM (VALUES
    ('R0000009', 'P0000005', 60, '14:20:00', 27, '16:05:00', 30, 5.50, '5首期天 * 0.10+25附加天 * 0.20', 'B002'),
    ('R0000009', 'P0000006', 50, '09:45:10', 12, '10:30:00', 35, 6.50, '5首期天 * 0.10+30附加天 * 0.20', 'A001'),
    ('R0000009', 'P0000007', 20, '15:02:44', 14, '17:20:31', 3,  0.30, '3首期天 * 0.10', 'A001'),
    ('R0000002', 'P0000013', 90, '10:00:00', 80, '11:11:11', 7,  0.90, '5首期天 * 0.10+2附加天 * 0.20', 'A001'),
    ('R0000001', 'P0000004', 40, '13:30:00', 38, '09:12:00', 0,  0.00, '', 'A001'),
    ('R0000001', 'P0000012', 25, '16:40:00', 23, '08:30:00', 0,  0.00, '', 'B002')
  ) r(cert_id, prop_no, lent_ago, lend_time, ret_ago, ret_time, late, fine, descr, wkr);

INSERT INTO lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, norm_ret_date, excd_days, location,
                       lend_wkr, ret_wkr, cls_id, attachment, rule_no_f)
SELECT r.cert_id, r.prop_no, r.lend_date, r.ret_date, r.norm_ret_date, r.late, 'R1',
       r.wkr, r.wkr, '1', '', 'COPY01'
  FROM demo_return r
 WHERE NOT (SELECT done FROM demo_loaded);

-- Unsettled ("0") charges of D0000009, and one that D0000002 paid in cash.
INSERT INTO exceed_fine_lst (prop_no, cert_id, lend_date, ret_date, norm_ret_date, location_f, fine_amt,
                             real_fine_amt, bill_no, fine_date, debt_deal_flag, resp_wkr, remark,
                             time_unit, rule_no_f, pay_mode)
SELECT r.prop_no, r.cert_id, r.lend_date, r.ret_date, r.norm_ret_date, 'R1', r.fine,
       CASE WHEN r.cert_id = 'R0000009' THEN 0.00 ELSE r.fine END,
       CASE WHEN r.cert_id = 'R0000009' THEN NULL ELSE to_char(current_date - 80, 'YYYYMMDD') || '111500' END,
       CASE WHEN r.cert_id = 'R0000009' THEN NULL ELSE r.ret_date END,
       CASE WHEN r.cert_id = 'R0000009' THEN '0' ELSE '1' END,
       r.wkr, r.descr, 'D', 'COPY01',
       CASE WHEN r.cert_id = 'R0000009' THEN NULL ELSE '0' END
  FROM demo_return r
 WHERE r.fine > 0
ON CONFLICT DO NOTHING;

INSERT INTO deposit_account_lst (cert_id, acct_type, pay_mode, acct_flag, oper_date, bill_no, resp_wkr, amount)
SELECT r.cert_id, '5', '0', '1', r.ret_date, to_char(current_date - 80, 'YYYYMMDD') || '111500', r.wkr, r.fine
  FROM demo_return r
 WHERE r.cert_id = 'R0000002' AND NOT (SELECT done FROM demo_loaded);

-- B0000402 was set aside at R1 for R0000002 at her request and lent to her on commission
-- yesterday.
INSERT INTO relegate_lst (relegate_no, cert_id, call_no, location, relegate_date, relegate_end_date,
                          relegate_keep_days, relegate_location, relegate_flag, resp_wkr)
SELECT 'W0000001', 'R0000002', 'TP311.5/M379', 'R1', to_char(current_date - 3, 'YYYY-MM-DD'),
       to_char(current_date + 4, 'YYYY-MM-DD'), 7, 'R1', '1', 'A001'
ON CONFLICT DO NOTHING;

INSERT INTO relegate_arri_lst (cert_id, prop_no, relegate_arri_date, relegate_no, noti_send_date,
                               keep_end_date, relegate_keep_days, rele_lend_date, rele_ret_date,
                               trans_location, found_location, ret_location, relegate_end_flag, resp_wkr)
SELECT 'R0000002', 'P0000402', to_char(current_date - 2, 'YYYY-MM-DD'), 'W0000001',
       to_char(current_date - 2, 'YYYY-MM-DD'), to_char(current_date + 5, 'YYYY-MM-DD'), 7,
       to_char(current_date - 1, 'YYYY-MM-DD') || '09:20:00', NULL, 'R1', 'R1', 'R1', '3', 'A001'
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- A year of reading: every day up to yesterday, visits of readers (R), books counted (B)
-- and readers registered with books (X), at R1 (closed on Mondays) and R2. The numbers
-- and choices come from fixed arithmetic on the day and the event number, so every load
-- gives the same events relative to its day; quieter in the vacation months. Favourite
-- readers and books come up more often, which gives the rankings something to rank.
-- The history tables get the whole year, the reading logs the last thirty days, the
-- workload table the matching counts.
-- ---------------------------------------------------------------------------------------
CREATE TEMP TABLE demo_event ON COMMIT DROP AS
WITH readers AS (
  -- the readers whose cards the desk refuses today (deregistered, cancelled, lost,
  -- expired, not local) stay out of the history; the order only decides who is favoured
  SELECT array_agg(cert_id ORDER BY md5(cert_id)) AS a FROM reader
   WHERE cert_id NOT IN ('R0000003', 'R0000004', 'R0000005', 'R0000006', 'R0000010')
), r1_items AS (
  SELECT array_agg(prop_no ORDER BY prop_no) AS a FROM item
   WHERE location = 'R1' AND book_lend_flag = '0'
), days AS (
  SELECT d, current_date - d AS day,
         CASE WHEN extract(month FROM current_date - d) IN (1, 2, 7, 8) THEN 2 ELSE 1 END AS quiet
    FROM generate_series(1, 365) d
), counts AS (
  SELECT s.d, s.day, s.loc, s.kind, s.off, s.n / s.quiet AS n
    FROM (SELECT days.*, v.loc, v.kind, v.off,
                 CASE v.loc || v.kind
                   WHEN 'R1R' THEN 3 + (d * 37) % 7
                   WHEN 'R1B' THEN 4 + (d * 29) % 8
                   WHEN 'R1X' THEN 2 + (d * 17) % 5
                   WHEN 'R2R' THEN 1 + (d * 13) % 4
                   WHEN 'R2B' THEN (d * 7) % 3
                   ELSE d % 2
                 END AS n
            FROM days
           CROSS JOIN (VALUES ('R1', 'R', 0), ('R1', 'B', 101), ('R1', 'X', 202),
                              ('R2', 'R', 303), ('R2', 'B', 404), ('R2', 'X', 505)) v(loc, kind, off)
           WHERE NOT (v.loc = 'R1' AND extract(isodow FROM days.day) = 1)) s
)
SELECT c.kind, c.loc AS location,
       to_char(c.day, 'YYYY-MM-DD')
         || to_char(time '08:00' + make_interval(mins => (c.d * 13 + k * 47 + c.off) % 720,
                                                 secs => (c.d * 7 + k * 11) % 60), 'HH24:MI:SS') AS date_time,
       CASE WHEN c.kind <> 'B' THEN
         readers.a[1 + floor(array_length(readers.a, 1)
                             * power(((c.d * 131 + k * 71 + c.off) % 997) / 997.0, 1.5))::integer]
       END AS cert_id,
       CASE WHEN c.kind <> 'R' THEN
         CASE WHEN c.loc = 'R2' THEN 'P0000101'
              ELSE r1_items.a[1 + floor(array_length(r1_items.a, 1)
                                        * power(((c.d * 57 + k * 113 + c.off) % 1009) / 1009.0, 1.4))::integer]
         END
       END AS prop_no,
       CASE WHEN c.loc = 'R2' OR (c.d + k) % 3 = 0 THEN 'B002' ELSE 'A001' END AS resp_wkr,
       c.d
  FROM counts c
 CROSS JOIN readers
 CROSS JOIN r1_items
 CROSS JOIN LATERAL generate_series(1, c.n) k
 WHERE NOT (SELECT done FROM demo_loaded);

INSERT INTO reader_stat_hist (cert_id, date_time, location_f, resp_wkr)
SELECT e.cert_id, e.date_time, e.location, e.resp_wkr
  FROM demo_event e
 WHERE e.kind = 'R'
 ORDER BY e.date_time;

INSERT INTO book_use_stat_hist (prop_no, date_time, location_f, resp_wkr, cert_id, marc_rec_no, call_no, cls_id)
SELECT e.prop_no, e.date_time, e.location, e.resp_wkr, NULL, i.marc_rec_no, i.call_no, c.cls_id
  FROM demo_event e
  JOIN item i ON i.prop_no = e.prop_no
  JOIN call_no_lst c ON c.call_no = i.call_no
 WHERE e.kind = 'B'
 ORDER BY e.date_time;

INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, resp_wkr, marc_rec_no, call_no, cls_id)
SELECT e.prop_no, e.cert_id, e.date_time, e.location, e.resp_wkr, i.marc_rec_no, i.call_no, c.cls_id
  FROM demo_event e
  JOIN item i ON i.prop_no = e.prop_no
  JOIN call_no_lst c ON c.call_no = i.call_no
 WHERE e.kind = 'X'
 ORDER BY e.date_time;

INSERT INTO reader_stat (cert_id, read_date_time, location_f, resp_wkr)
SELECT e.cert_id, e.date_time, e.location, e.resp_wkr
  FROM demo_event e
 WHERE e.kind = 'R' AND e.d <= 30
 ORDER BY e.date_time;

INSERT INTO book_use_stat (prop_no, use_date_time, location_f, resp_wkr, call_no)
SELECT e.prop_no, e.date_time, e.location, e.resp_wkr, i.call_no
  FROM demo_event e
  JOIN item i ON i.prop_no = e.prop_no
 WHERE e.kind = 'B' AND e.d <= 30
 ORDER BY e.date_time;

INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, resp_wkr, call_no)
SELECT e.prop_no, e.cert_id, e.date_time, e.location, e.resp_wkr, i.call_no
  FROM demo_event e
  JOIN item i ON i.prop_no = e.prop_no
 WHERE e.kind = 'X' AND e.d <= 30
 ORDER BY e.date_time;

-- Workload of those days: 422 check-ins, 405 books counted, 423 readers with books.
INSERT INTO wkr_job_qty (wkr_no_f, oper_date, job_type, kind, volume, amount)
SELECT e.resp_wkr, left(e.date_time, 10),
       CASE e.kind WHEN 'R' THEN '422' WHEN 'B' THEN '405' ELSE '423' END,
       0, count(*), 0
  FROM demo_event e
 GROUP BY 1, 2, 3
ON CONFLICT DO NOTHING;

-- What the items and call numbers have counted up.
UPDATE item i
   SET total_read_qty = n.total, year_read_qty = n.total
  FROM (SELECT prop_no, count(*) AS total FROM demo_event WHERE kind <> 'R' GROUP BY prop_no) n
 WHERE i.prop_no = n.prop_no;

UPDATE call_no_lst c
   SET total_read_qty = n.total, year_read_qty = n.total
  FROM (SELECT i.call_no, sum(i.total_read_qty) AS total FROM item i GROUP BY i.call_no) n
 WHERE c.call_no = n.call_no;

-- ---------------------------------------------------------------------------------------
-- The load refuses a library that contradicts itself: every record must read back as a
-- well-formed ISO 2709 record, and D0000009's unsettled charges must add up to its debt
-- (the fine window would otherwise correct the debt instead of showing the charges).
-- ---------------------------------------------------------------------------------------
DO $$
DECLARE
  r record;
  owed numeric;
  charged numeric;
BEGIN
  FOR r IN
    SELECT d.marc_rec_no,
           demo_iso2709_problem(string_agg(coalesce(d.marc01, '') || coalesce(d.marc02, '') || coalesce(d.marc03, ''),
                                           '' ORDER BY d.data_serial)) AS problem
      FROM marc_data d
     GROUP BY d.marc_rec_no
  LOOP
    IF r.problem IS NOT NULL THEN
      RAISE EXCEPTION 'demo record %: %', r.marc_rec_no, r.problem;
    END IF;
  END LOOP;

  SELECT debt_flag INTO owed FROM reader WHERE cert_id = 'R0000009';
  SELECT sum(fine_amt) INTO charged FROM exceed_fine_lst WHERE cert_id = 'R0000009' AND debt_deal_flag = '0';
  IF owed IS DISTINCT FROM charged THEN
    RAISE EXCEPTION 'D0000009 owes % but its unsettled charges add up to %', owed, charged;
  END IF;
END
$$;

COMMIT;
