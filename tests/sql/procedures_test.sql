-- The desk's stored procedures, called the way the desk calls them (CALL with literal
-- arguments: quoted texts, NULL, '' and plain numbers), against the demo library.
-- Runs in one transaction that is rolled back, so the database is left as it was.
--   psql -X -v ON_ERROR_STOP=1 -d library -f tests/sql/procedures_test.sql

\set ON_ERROR_STOP 1
\set QUIET 1
\o /dev/null
BEGIN;

CREATE FUNCTION pg_temp.expect(ok boolean, what text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF ok IS NOT TRUE THEN
        RAISE EXCEPTION 'procedures_test: %', what;
    END IF;
END
$$;

SELECT cert_id AS cert FROM reader_cert WHERE redr_cert_id = 'D0000001' \gset
SELECT prop_no AS book, call_no AS book_call, marc_rec_no AS book_marc FROM item WHERE bar_code = 'B0000001' \gset
SELECT prop_no AS copy1 FROM item WHERE bar_code = 'B0000002' \gset
SELECT prop_no AS copy2 FROM item WHERE bar_code = 'B0000003' \gset

-- Server time: 18 characters, the wall clock of now.
CALL SYS_GetServerDate(NULL) \gset
SELECT pg_temp.expect(:'svrdate' ~ '^\d{4}-\d{2}-\d{2}\d{2}:\d{2}:\d{2}$'
                      AND abs(extract(epoch FROM to_timestamp(:'svrdate', 'YYYY-MM-DDHH24:MI:SS')
                                                  - clock_timestamp())) < 60,
                      'SYS_GetServerDate gives "yyyy-mm-ddhh:mm:ss" of now');

-- Workload: added up per job type, worker and day; counts may come quoted or not.
CALL XT_wkr_job_qty('405','ZT01',0,1,0);
CALL XT_wkr_job_qty('405','ZT01',0,1,0);
CALL XT_wkr_job_qty('415','ZT01',2,3,12.5);
CALL XT_wkr_job_qty('415','ZT01','1','1','0.50');
CALL XT_wkr_job_qty('405','ZT02',0,1,0);
SELECT pg_temp.expect(array_agg(job_type || ':' || kind || '/' || volume || '/' || amount
                                ORDER BY job_type) = '{405:0/2/0.00,415:3/4/13.00}'
                      AND bool_and(oper_date = substr(:'svrdate', 1, 10)),
                      'workload of ZT01 is one row per job type for today, summed')
  FROM wkr_job_qty WHERE wkr_no_f = 'ZT01';
-- Work recorded later counts on the day it was done.
CALL XT_wkr_job_qty('422','ZT02',0,1,0,'2020-02-29');
CALL XT_wkr_job_qty('422','ZT02',0,1,0,'2020-02-29');
SELECT pg_temp.expect(array_agg(oper_date || ':' || volume) = '{2020-02-29:2}',
                      'workload given a day is counted on that day')
  FROM wkr_job_qty WHERE wkr_no_f = 'ZT02' AND job_type = '422';

-- Reading events: a row in the log and in the history, the history with the item's record,
-- call number and classification scheme.
CALL LT_book_use_stat(:'book', :'svrdate', 'R1', 'A001', :'book_call');
CALL LT_reader_book_stat(:'book', :'cert', :'svrdate', 'R1', 'A001', :'book_call');
CALL LT_reader_stat(:'cert', :'svrdate', 'R1', 'A001');
SELECT pg_temp.expect(
    (SELECT count(*) FROM book_use_stat WHERE prop_no = :'book' AND use_date_time = :'svrdate'
        AND location_f = 'R1' AND resp_wkr = 'A001') = 1
    AND (SELECT count(*) FROM reader_book_stat WHERE prop_no = :'book' AND cert_id = :'cert'
        AND date_time = :'svrdate' AND location_f = 'R1') = 1
    AND (SELECT count(*) FROM reader_stat WHERE cert_id = :'cert'
        AND read_date_time = :'svrdate' AND location_f = 'R1' AND resp_wkr = 'A001') = 1,
    'each reading event is in its log');
SELECT pg_temp.expect(count(*) = 2 AND bool_and(h.marc_rec_no = :'book_marc'
                          AND h.call_no = :'book_call' AND h.cls_id = c.cls_id
                          AND h.cls_id IS NOT NULL),
                      'book events are in their history with record, call number and scheme')
  FROM (SELECT marc_rec_no, call_no, cls_id FROM book_use_stat_hist
         WHERE prop_no = :'book' AND date_time = :'svrdate'
        UNION ALL
        SELECT marc_rec_no, call_no, cls_id FROM redr_book_stat_hist
         WHERE prop_no = :'book' AND cert_id = :'cert' AND date_time = :'svrdate') h,
       call_no_lst c
 WHERE c.call_no = :'book_call';
SELECT pg_temp.expect(count(*) = 1, 'the check-in is in the visit history')
  FROM reader_stat_hist WHERE cert_id = :'cert' AND date_time = :'svrdate';
-- an empty event time stands for now; an unknown item is refused
CALL LT_reader_stat(:'cert', '', 'R1', 'A001');
SELECT pg_temp.expect(count(*) = 2 AND bool_and(length(read_date_time) = 18),
                      'an empty event time is recorded as now')
  FROM reader_stat WHERE cert_id = :'cert' AND read_date_time >= :'svrdate';
DO $$
BEGIN
    CALL lt_book_use_stat('NO-SUCH-ITEM', NULL, 'R1', 'A001', NULL);
    RAISE EXCEPTION 'procedures_test: a reading of an unknown item was recorded';
EXCEPTION WHEN no_data_found THEN NULL;
END
$$;

-- Photocopy loan opened, moved, closed with a charge that raises the reader's debt.
SELECT coalesce(debt_flag, 0) AS debt0 FROM reader WHERE cert_id = :'cert' \gset
CALL LT_lendbook_new(:'cert',:'copy1','2000-01-02','COPY01','','A001','0','0');
SELECT pg_temp.expect(l.cert_id = :'cert' AND l.norm_ret_date = '2000-01-02'
                      AND l.rule_no_f = 'COPY01' AND l.resp_wkr = 'A001'
                      AND length(l.lend_date) = 18 AND i.book_lend_flag = '1',
                      'the loan is open and the item lent')
  FROM lend_lst l JOIN item i ON i.prop_no = l.prop_no WHERE l.prop_no = :'copy1';
CALL LT_ModiLoca(:'copy1','R2');
CALL LT_retbook_new(:'copy1',:'cert','2000-01-02',35,4.00,'D','30首期天 * 0.10+5附加天 * 0.20','B002');
SELECT pg_temp.expect(NOT EXISTS (SELECT 1 FROM lend_lst WHERE prop_no = :'copy1')
                      AND (SELECT book_lend_flag || location FROM item WHERE prop_no = :'copy1') = '0R2',
                      'the loan is closed, the item on the shelf where it was moved');
SELECT pg_temp.expect(count(*) = 1 AND min(excd_days) = 35 AND min(ret_wkr) = 'B002'
                      AND min(lend_wkr) = 'A001' AND min(rule_no_f) = 'COPY01'
                      AND min(location) = 'R2' AND min(cls_id) IS NOT NULL,
                      'the return is in the lending history')
  FROM lend_hist WHERE prop_no_f = :'copy1' AND cert_id_f = :'cert';
SELECT lend_date AS lend1 FROM exceed_fine_lst WHERE prop_no = :'copy1' AND cert_id = :'cert' \gset
SELECT pg_temp.expect(fine_amt = 4.00 AND debt_deal_flag = '0' AND time_unit = 'D'
                      AND norm_ret_date = '2000-01-02' AND location_f = 'R2'
                      AND remark = '30首期天 * 0.10+5附加天 * 0.20' AND length(ret_date) = 18,
                      'the charge is recorded unsettled')
  FROM exceed_fine_lst WHERE prop_no = :'copy1' AND cert_id = :'cert';
SELECT pg_temp.expect(debt_flag = :debt0 + 4.00, 'the charge raised the debt')
  FROM reader WHERE cert_id = :'cert';
-- a second loan returned in time (hour rule) leaves no charge and no debt
CALL LT_lendbook_new(:'cert',:'copy2','2099-01-0112:00:00','COPY02','','A001','0','0');
CALL LT_retbook_new(:'copy2',:'cert','2099-01-0112:00:00',0,0,'','','A001');
SELECT pg_temp.expect(NOT EXISTS (SELECT 1 FROM exceed_fine_lst WHERE prop_no = :'copy2')
                      AND (SELECT debt_flag FROM reader WHERE cert_id = :'cert') = :debt0 + 4.00,
                      'a return without charge adds no charge');
DO $$
DECLARE
    v_prop text := (SELECT prop_no FROM item WHERE bar_code = 'B0000003');
BEGIN
    CALL lt_retbook_new(v_prop, NULL, '', 0, 0, '', '', 'A001');
    RAISE EXCEPTION 'procedures_test: an item that is not lent was returned';
EXCEPTION WHEN no_data_found THEN NULL;
END
$$;

-- Partial updates change only what is not NULL.
-- Overdue charge settled in cash: the 14th argument is the payment mode.
CALL LT_UPD_exceed_fine_lst(:'copy1',:'cert',:'lend1',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3.60,'B1','0','1','A001',' LT2(30首期天)',NULL,NULL);
SELECT pg_temp.expect(real_fine_amt = 3.60 AND fine_amt = 4.00 AND bill_no = 'B1'
                      AND pay_mode = '0' AND fine_date ~ '^\d{4}-\d{2}-\d{2}\d{2}:'
                      AND debt_deal_flag = '1' AND remark = ' LT2(30首期天)'
                      AND time_unit = 'D' AND norm_ret_date = '2000-01-02',
                      'a settled charge takes amount, bill, payment mode and a date')
  FROM exceed_fine_lst WHERE prop_no = :'copy1' AND cert_id = :'cert';
-- waived: the 14th argument is the date-time, the amount 0.00
UPDATE exceed_fine_lst SET debt_deal_flag = '0', fine_date = NULL, pay_mode = NULL
 WHERE prop_no = :'copy1';
CALL LT_UPD_exceed_fine_lst(:'copy1',:'cert',:'lend1', null, null, null, null, null, null, null, null,0.00,'B2',:'svrdate','1','A001','',NULL,NULL);
SELECT pg_temp.expect(real_fine_amt = 0 AND fine_date = :'svrdate' AND pay_mode IS NULL
                      AND bill_no = 'B2' AND remark = '' AND debt_deal_flag = '1',
                      'a waived charge takes the date-time')
  FROM exceed_fine_lst WHERE prop_no = :'copy1' AND cert_id = :'cert';

-- Reader: position 18 the violation count (admission), 19 the debt and 30 the prepaid
-- balance (fine window); everything else unchanged.
SELECT name AS name0, redr_type_code AS type0, coalesce(obligate, 0) AS oblig0 FROM reader WHERE cert_id = :'cert' \gset
CALL LT_UPD_reader_new(:'cert',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL);
SELECT pg_temp.expect(volt_flag = 3 AND debt_flag = :debt0 + 4.00 AND name = :'name0'
                      AND redr_type_code = :'type0' AND coalesce(obligate, 0) = :oblig0,
                      'LT_UPD_reader_new sets the violation count at position 18 only')
  FROM reader WHERE cert_id = :'cert';
CALL LT_UPD_reader_new(:'cert',null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,'0.40',null,null,null,null,'',null,null,null,null,null,15.60,null);
SELECT pg_temp.expect(volt_flag = 3 AND debt_flag = 0.40 AND obligate = 15.60
                      AND remark = '' AND name = :'name0',
                      'LT_UPD_reader_new sets debt at 19 and prepaid balance at 30')
  FROM reader WHERE cert_id = :'cert';

-- Violation: an ended suspension takes its new deal flag, the rest stays.
INSERT INTO reader_volt_lst (cert_id, punish_date, volt_code, real_fine_amt, froz_end_date,
                             volt_deal_flag, resp_wkr, remark)
VALUES (:'cert', '2000-01-01', 'V1', 2.00, '2000-02-01', '3', 'A001', 'test');
CALL LT_UPD_reader_volt_lst(:'cert','2000-01-01',NULL,NULL,NULL,NULL,NULL,NULL,NULL,'2',NULL,NULL);
SELECT pg_temp.expect(volt_deal_flag = '2' AND volt_code = 'V1' AND real_fine_amt = 2.00
                      AND froz_end_date = '2000-02-01' AND remark = 'test',
                      'LT_UPD_reader_volt_lst changes the deal flag only')
  FROM reader_volt_lst WHERE cert_id = :'cert' AND punish_date = '2000-01-01';

-- Account book.
CALL INSERT_DEPOSIT_ACCOUNT_LST(:'cert','5','0','1',:'svrdate','B1','A001','3.60');
CALL INSERT_DEPOSIT_ACCOUNT_LST(:'cert','6','0','1',:'svrdate','B1C','A001',0.4);
SELECT pg_temp.expect(string_agg(acct_type || pay_mode || acct_flag || ':' || amount || ':' || bill_no,
                                 ',' ORDER BY bill_no) = '501:3.60:B1,601:0.40:B1C'
                      AND bool_and(oper_date = :'svrdate' AND resp_wkr = 'A001'),
                      'account-book entries')
  FROM deposit_account_lst WHERE cert_id = :'cert' AND bill_no IN ('B1', 'B1C');

-- Classification statistics.  The class statement of the classification window: one figure
-- per reader type; a class without events gives empty figures.
SELECT redr_type_code AS rtype FROM reader WHERE cert_id = :'cert' \gset
CALL TJ_SORT.GetCommonSortData(' SELECT SUM(decode(reader.redr_type_code,''' || :'rtype' || ''' ,1,0)) || '','' || SUM(decode(reader.redr_type_code,''ZZ'' ,1,0)) FROM  redr_book_stat_hist ,reader  WHERE redr_book_stat_hist.cert_id = reader.cert_id ', 2, ARRAY[' AND redr_book_stat_hist.date_time = ''' || :'svrdate' || '''', ' AND 1 = 0'], NULL) \gset
SELECT pg_temp.expect(:'result' = '{"1,0",","}', 'GetCommonSortData gives the figures per class');
-- the ranking statement of the rankings window, one class with every title and one empty class
\set rank_sql ' SELECT book_use_stat_hist.marc_rec_no, SUM(distinct tmp_item.total_count), COUNT(book_use_stat_hist.prop_no), ROUND(COUNT(book_use_stat_hist.prop_no)/SUM(distinct tmp_item.total_count),2) FROM book_use_stat_hist,( SELECT item.marc_rec_no as MARC_REC_NO , item.call_no AS CALL_NO, COUNT(Item.prop_no) As TOTAL_COUNT FROM marc, item WHERE marc.marc_rec_no = item.marc_rec_no GROUP BY item.marc_rec_no,item.call_no ORDER BY item.marc_rec_no,item.call_no) TMP_ITEM WHERE tmp_item.marc_rec_no=book_use_stat_hist.marc_rec_no AND tmp_item.call_no=book_use_stat_hist.call_no '
\set rank_tail ' GROUP BY book_use_stat_hist.marc_rec_no ORDER BY COUNT(book_use_stat_hist.prop_no) DESC '
CALL TJ_SORT.GetGroupData(:'rank_sql', 2, ARRAY[' AND (1 = 1) ' || :'rank_tail', ' AND (1 = 0) ' || :'rank_tail'], '{01,02}');
CALL TJ_SORT.GetGroupData(:'rank_sql', 2, ARRAY[' AND (1 = 1) ' || :'rank_tail', ' AND (1 = 0) ' || :'rank_tail'], '{01,02}');
SELECT pg_temp.expect(count(*) > 1 AND count(*) = max(row_num) AND min(row_num) = 1
                      AND count(DISTINCT row_num) = count(*)
                      AND bool_and(sub_stat_code = '01'),
                      'GetGroupData numbers the ranked rows of each class 1..n, once')
  FROM tj_tmp_rate;
SELECT pg_temp.expect(bool_and(a.lendcount >= b.lendcount AND a.lendrate = round(a.lendcount / a.itemcount, 2)),
                      'GetGroupData keeps the ranking order')
  FROM tj_tmp_rate a JOIN tj_tmp_rate b ON b.row_num = a.row_num + 1;
CALL TJ_SORT.GetBulkData('SELECT g::text AS v FROM generate_series(1, 1500) g ORDER BY g', NULL, NULL) \gset
SELECT pg_temp.expect(:arraysize = 1000 AND (:'result'::text[])[1000] = '1000',
                      'GetBulkData returns at most 1000 rows');
CALL TJ_SORT.GetBulkData(' SELECT count(*) || '','' || 7 FROM item WHERE 1 = 0 ', NULL, NULL) \gset
SELECT pg_temp.expect(:arraysize = 1 AND :'result' = '{"0,7"}', 'GetBulkData of one row');

-- Loading the procedures again changes nothing: no second version appears and calls still work.
\ir ../../sql/procedures.sql
SELECT pg_temp.expect(count(*) >= 18 AND count(*) = count(DISTINCT (pronamespace, proname)),
                      'one version of each procedure after a reload')
  FROM pg_proc WHERE pronamespace = 'tj_sort'::regnamespace
    OR (pronamespace = 'public'::regnamespace
        AND proname ~ '^(lt|xt|sys)_|^insert_deposit_account_lst$');
CALL XT_wkr_job_qty('405','ZT01',0,1,0);
SELECT pg_temp.expect(volume = 3, 'workload still adds up after a reload')
  FROM wkr_job_qty WHERE wkr_no_f = 'ZT01' AND job_type = '405';

ROLLBACK;
\o
\echo procedures_test: ok
