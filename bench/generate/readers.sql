-- Library-scale generator: readers and their cards, one card per reader, in the
-- situations of bench_keys (card_ok … card_debt), with the violation, loss report and
-- overdue charge that each refused situation needs to be consistent.

\ir keys.sql

BEGIN;

-- Reader type: expired cards and debts belong to types whose validity and debt limits
-- the desk checks (10: 10.00, 20: 20.00); the others are 60 % undergraduates, 25 %
-- graduates, 15 % staff.
CREATE FUNCTION gen_reader_type(n bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN CASE
  WHEN n BETWEEN :card_nonlocal_first AND :card_nonlocal_last THEN '90'
  WHEN n BETWEEN :card_expired_first AND :card_expired_last
    OR n BETWEEN :card_debt_first AND :card_debt_last THEN CASE WHEN n % 3 = 0 THEN '20' ELSE '10' END
  WHEN gen_u(n, :seed * 1000 + 1) < 0.60 THEN '10'
  WHEN gen_u(n, :seed * 1000 + 1) < 0.85 THEN '20'
  ELSE '30'
END;

-- Days since registration (the card was issued the same day); older for the readers whose
-- card has expired or who have left.
CREATE FUNCTION gen_reader_age(n bigint) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN CASE
  WHEN n BETWEEN :card_dereg_first AND :card_dereg_last
    OR n BETWEEN :card_expired_first AND :card_expired_last THEN 800 + gen_h(n, :seed * 1000 + 2) % 1000
  ELSE 30 + gen_h(n, :seed * 1000 + 2) % 1500
END;

-- A debtor's overdue charge: days late under COPY01 (5 days at 0.10, then 0.20 a day),
-- enough to pass the type's debt limit.
CREATE FUNCTION gen_debt_days(n bigint) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN CASE WHEN n % 3 = 0 THEN 103 ELSE 53 END + (gen_h(n, :seed * 1000 + 3) % 60)::integer;

CREATE FUNCTION gen_debt(n bigint) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN (0.50 + 0.20 * (gen_debt_days(n) - 5))::numeric(12,2);

INSERT INTO reader (cert_id, redr_type_code, lend_grd, id_card, name, sex, birthday, dept,
                    occupation, duty, position, address, tele, postcode, email,
                    total_lend_qty, year_lend_qty, volt_flag, debt_flag, education, password,
                    code01, code02, remark, redr_reg_day, redr_del_day, deposit, redr_flag,
                    mobile, obligate, r_dep_id)
SELECT 'R' || n, ty,
       CASE ty WHEN '30' THEN '01' WHEN '90' THEN '03' ELSE '02' END,
       gen_pick(ARRAY['110108','110105','310104','440106','320102','330106','420106','510107',
                      '610113','370102','210102','430104','350102','120101','500103'], h % 997)
         || to_char(birthday, 'YYYYMMDD') || lpad((n % 1000)::text, 3, '0')
         || substr('0123456789X', 1 + (h % 11)::integer, 1),
       CASE WHEN h % 50 = 7
            THEN gen_pick(gen_en_surnames(), h % 1009) || ' ' || gen_pick(gen_en_given(), h % 1013)
            ELSE gen_pick(gen_zh_surnames(), h % 1019) || gen_pick(gen_zh_given(), h % 1021)
                 || CASE WHEN h % 100 < 65 THEN gen_pick(gen_zh_given(), h % 1031) ELSE '' END
       END,
       CASE WHEN h % 2 = 0 THEN 'F' ELSE 'M' END,
       to_char(birthday, 'YYYY-MM-DD'),
       split_part(dep, '|', 2),
       CASE ty WHEN '10' THEN '学生' WHEN '20' THEN '学生' WHEN '30' THEN gen_pick(ARRAY['教师','教师','职员'], h % 1033)
               ELSE gen_pick(ARRAY['工程师','教师','自由职业','公务员',''], h % 1033) END,
       '',
       CASE ty WHEN '30' THEN gen_pick(ARRAY['助教','讲师','副教授','教授','工程师','馆员','副研究员'], h % 1039)
               ELSE '' END,
       CASE ty WHEN '30' THEN '燕园小区' || (1 + h % 40) || '楼' || (1 + h % 6) || '单元' || (101 + h % 600)
               WHEN '90' THEN '北京市海淀区中关村大街' || (1 + h % 200) || '号'
               ELSE '学生公寓' || (1 + h % 20) || '号楼' || (101 + h % 500) END,
       CASE WHEN ty = '30' THEN '010-6275' || lpad((h % 10000)::text, 4, '0') ELSE '' END,
       '100871',
       'r' || n || '@example.edu.cn',
       total_lend, least(total_lend, (h % 25)::integer),
       CASE WHEN sit = 'violation' THEN 1 ELSE 0 END,
       CASE WHEN sit = 'debt' THEN gen_debt(n) ELSE 0.00 END,
       CASE ty WHEN '10' THEN '本科' WHEN '20' THEN gen_pick(ARRAY['硕士','硕士','博士'], h % 1049)
               WHEN '30' THEN gen_pick(ARRAY['博士','硕士','本科'], h % 1049) ELSE '本科' END,
       '123456',
       CASE WHEN ty IN ('10', '20') THEN (extract(year FROM (:'today')::date)::integer - 1 - (h % 4)::integer) || '级' END,
       NULL,
       CASE WHEN ty = '90' THEN '校外合作单位人员' WHEN sit = 'deregistered' THEN '已办理离校手续' ELSE '' END,
       to_char((:'today')::date - gen_reader_age(n), 'YYYY-MM-DD'),
       CASE WHEN sit = 'deregistered' THEN to_char((:'today')::date - 1 - (h % 700)::integer, 'YYYY-MM-DD') END,
       CASE ty WHEN '30' THEN 100.00 WHEN '90' THEN 200.00 ELSE 0.00 END,
       CASE WHEN sit = 'deregistered' THEN '0' ELSE '1' END,
       '1' || gen_pick(ARRAY['3','5','8','9'], h % 1051) || lpad(((n * 7919 + h) % 1000000000)::text, 9, '0'),
       CASE WHEN h % 10 = 3 THEN (h % 50)::numeric(12,2) ELSE 0.00 END,
       split_part(dep, '|', 1)
  FROM (SELECT n, h, ty, sit, total_lend,
               (:'today')::date - (CASE ty WHEN '10' THEN 6570 + h % 1825 WHEN '20' THEN 8030 + h % 3650
                                           ELSE 9125 + h % 14600 END)::integer AS birthday,
               CASE WHEN ty = '90' THEN '30|校外读者'
                    WHEN ty = '20' AND h % 4 = 0 THEN '12|研究生院'
                    WHEN ty = '30' AND h % 5 = 0 THEN '20|机关各部门'
                    ELSE gen_pick(ARRAY['01|文学院','02|历史学院','03|外国语学院','04|法学院','05|经济管理学院',
                                        '06|数学科学学院','07|物理学院','08|化学与化工学院','09|生命科学学院',
                                        '10|信息科学与技术学院','11|医学院'], h % 1061)
               END AS dep
          FROM (SELECT n, gen_h(n, :seed * 1000 + 4) AS h, gen_reader_type(n) AS ty,
                       (gen_h(n, :seed * 1000 + 5) % 120)::integer AS total_lend,
                       CASE WHEN n <= :card_ok_last THEN 'ok'
                            WHEN n <= :card_copy_last THEN 'copy'
                            WHEN n <= :card_nonlocal_last THEN 'nonlocal'
                            WHEN n <= :card_dereg_last THEN 'deregistered'
                            WHEN n <= :card_cancelled_last THEN 'cancelled'
                            WHEN n <= :card_lost_last THEN 'lost'
                            WHEN n <= :card_expired_last THEN 'expired'
                            WHEN n <= :card_violation_last THEN 'violation'
                            ELSE 'debt' END AS sit
                  FROM generate_series(:card_ok_first::bigint, :card_debt_last::bigint) n
                OFFSET 0) a
        OFFSET 0) b;

-- Cards: valid from the day of registration for several years, except the expired ones.
INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, charge, resp_wkr)
SELECT 'D' || n, 'R' || n,
       CASE WHEN n BETWEEN :card_cancelled_first AND :card_cancelled_last THEN '0'
            WHEN n BETWEEN :card_lost_first AND :card_lost_last THEN '2'
            ELSE '1' END,
       to_char((:'today')::date - gen_reader_age(n), 'YYYY-MM-DD'),
       to_char((:'today')::date - gen_reader_age(n), 'YYYY-MM-DD'),
       to_char(CASE WHEN n BETWEEN :card_expired_first AND :card_expired_last
                    THEN (:'today')::date - 1 - (gen_h(n, :seed * 1000 + 6) % 400)::integer
                    ELSE (:'today')::date + 200 + (gen_h(n, :seed * 1000 + 6) % 1300)::integer END, 'YYYY-MM-DD'),
       10.00,
       CASE WHEN n % 3 = 0 THEN 'B002' ELSE 'A001' END
  FROM generate_series(:card_ok_first::bigint, :card_debt_last::bigint) n;

-- Loss reports of the lost cards, still standing.
INSERT INTO cert_loss (redr_cert_id, lose_date, solv_date, cert_lose_flag, resp_wkr, remark)
SELECT 'D' || n, to_char((:'today')::date - 1 - (gen_h(n, :seed * 1000 + 7) % 200)::integer, 'YYYY-MM-DD'),
       NULL, '1', 'B002', gen_pick(ARRAY['读者电话挂失','读者本人到馆挂失','院系代为挂失'], n)
  FROM generate_series(:card_lost_first::bigint, :card_lost_last::bigint) n;

-- One running suspension each ("1" suspended, "3" fined and suspended), ending well after
-- the day the data is built for.
INSERT INTO reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt,
                             fine_date, bill_no, froz_end_date, volt_deal_flag, resp_wkr, remark)
SELECT 'R' || n,
       to_char((:'today')::date - 1 - (h % 60)::integer, 'YYYY-MM-DD')
         || lpad((9 + h % 9)::text, 2, '0') || ':' || lpad((h % 60)::text, 2, '0') || ':' || lpad((h % 59)::text, 2, '0'),
       gen_pick(ARRAY['03','06','07','08'], h % 1063),
       NULL,
       CASE WHEN n % 2 = 0 THEN 'R1' ELSE 'R2' END,
       CASE WHEN n % 2 = 0 THEN 0.00 ELSE (10 + h % 41)::numeric(12,2) END,
       NULL, NULL,
       to_char((:'today')::date + 10 + (h % 300)::integer, 'YYYY-MM-DD'),
       CASE WHEN n % 2 = 0 THEN '1' ELSE '3' END,
       'A001',
       gen_pick(ARRAY['在阅览室内大声喧哗，劝阻无效','未办手续携书出阅览室','复印外借图书逾期未还','污损阅览室图书'], h % 1069)
  FROM (SELECT n, gen_h(n, :seed * 1000 + 8) AS h
          FROM generate_series(:card_violation_first::bigint, :card_violation_last::bigint) n) v;

-- The debtors' unsettled charges: a photocopy loan of an R2 book returned late. The loan is
-- in the lending history; the charge equals the reader's debt_flag.
CREATE TEMP TABLE gen_debt_loan ON COMMIT DROP AS
SELECT n, gen_debt_days(n) AS late, gen_debt(n) AS fine,
       'P' || (:item_r2_first + gen_h(n, :seed * 1000 + 9) % (:item_r2_last - :item_r2_first + 1)) AS prop_no,
       (:'today')::date - gen_debt_days(n) - 4 - (gen_h(n, :seed * 1000 + 10) % 100)::integer AS lend_day,
       lpad((9 + n % 9)::text, 2, '0') || ':' || lpad((n % 60)::text, 2, '0') || ':00' AS lend_time,
       CASE WHEN n % 3 = 0 THEN 'B002' ELSE 'A001' END AS wkr
  FROM generate_series(:card_debt_first::bigint, :card_debt_last::bigint) n;

INSERT INTO lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, norm_ret_date, excd_days, location,
                       lend_wkr, ret_wkr, cls_id, attachment, rule_no_f)
SELECT 'R' || n, prop_no, to_char(lend_day, 'YYYY-MM-DD') || lend_time,
       to_char(lend_day + 3 + late, 'YYYY-MM-DD') || '16:30:00',
       to_char(lend_day + 3, 'YYYY-MM-DD'), late, 'R2', wkr, wkr, '1', '', 'COPY01'
  FROM gen_debt_loan
 ORDER BY n;

INSERT INTO exceed_fine_lst (prop_no, cert_id, lend_date, ret_date, norm_ret_date, location_f, fine_amt,
                             real_fine_amt, bill_no, fine_date, debt_deal_flag, resp_wkr, remark,
                             time_unit, rule_no_f, pay_mode)
SELECT prop_no, 'R' || n, to_char(lend_day, 'YYYY-MM-DD') || lend_time,
       to_char(lend_day + 3 + late, 'YYYY-MM-DD') || '16:30:00',
       to_char(lend_day + 3, 'YYYY-MM-DD'), 'R2', fine, 0.00, NULL, NULL, '0', wkr,
       '5首期天 * 0.10+' || (late - 5) || '附加天 * 0.20', 'D', 'COPY01', NULL
  FROM gen_debt_loan;

COMMIT;
