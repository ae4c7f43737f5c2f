-- ReadDesk library database: the stored procedures the desk calls.
--
-- The desk sends each call as  CALL name(args)  with the arguments written into the text:
-- codes, keys and times as quoted literals ('A001', '2024-03-0108:15:00', ''), unset values as
-- NULL, counts and amounts as plain numbers (0, 1, 12.30).  A quoted literal adapts to the
-- parameter's type, a plain number does not adapt to text, so every parameter that may receive a
-- plain number is numeric and every other parameter is text.  Names are lower case so that the
-- desk's mixed-case spelling (LT_reader_stat, TJ_SORT.GetGroupData) folds onto them.
--
-- Times are text: "yyyy-mm-ddhh:mm:ss" (18 characters, date directly followed by time) and
-- dates "yyyy-mm-dd"; they compare correctly as text.
--
-- The file may be loaded again at any time: every procedure of the desk is dropped (whatever its
-- argument list was) and created anew, so that no older overload lingers and makes a call
-- ambiguous.

CREATE SCHEMA IF NOT EXISTS tj_sort;

DO $$
DECLARE
    p record;
BEGIN
    FOR p IN
        SELECT pr.oid::regprocedure AS sig, pr.prokind
          FROM pg_proc pr
          JOIN pg_namespace ns ON ns.oid = pr.pronamespace
         WHERE (ns.nspname = 'public' AND pr.proname IN (
                    'sys_getserverdate', 'xt_wkr_job_qty',
                    'lt_book_use_stat', 'lt_reader_book_stat', 'lt_reader_stat',
                    'lt_upd_reader_volt_lst', 'lt_upd_reader_new', 'lt_upd_exceed_fine_lst',
                    'lt_lendbook_new', 'lt_modiloca', 'lt_retbook_new',
                    'insert_deposit_account_lst', 'lt_server_time', 'lt_item_class'))
            OR (ns.nspname = 'tj_sort' AND pr.proname IN (
                    'getcommonsortdata', 'getgroupdata', 'getbulkdata', 'clean_sql',
                    'empty_figures'))
    LOOP
        IF p.prokind = 'p' THEN
            EXECUTE format('DROP PROCEDURE %s', p.sig);
        ELSE
            EXECUTE format('DROP FUNCTION %s', p.sig);
        END IF;
    END LOOP;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Server time

-- The server's date and time as the desk stores it: "yyyy-mm-ddhh:mm:ss".  The wall clock is read
-- at the moment of the call (not the start of the transaction), as a desk that holds a
-- transaction open across a dialogue still wants the time of the click.
CREATE OR REPLACE FUNCTION lt_server_time() RETURNS text
LANGUAGE sql VOLATILE
AS $$ SELECT to_char(clock_timestamp(), 'YYYY-MM-DDHH24:MI:SS') $$;

-- CALL SYS_GetServerDate(NULL) answers one row whose column svrdate holds the time.
CREATE OR REPLACE PROCEDURE sys_getserverdate(INOUT svrdate text DEFAULT NULL)
LANGUAGE plpgsql
AS $$
BEGIN
    svrdate := lt_server_time();
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Operator workload

-- Adds count1 (kinds), count2 (volumes) and the amount to the worker's record of the job type for
-- today; the first job of a day opens the record.
CREATE OR REPLACE PROCEDURE xt_wkr_job_qty(
    p_job_type text, p_wkr_no text, p_kind numeric, p_volume numeric, p_amount numeric)
LANGUAGE plpgsql
AS $$
DECLARE
    v_day text := substr(lt_server_time(), 1, 10);
BEGIN
    IF p_job_type IS NULL OR p_wkr_no IS NULL THEN
        RAISE EXCEPTION 'workload needs a job type and a worker number'
              USING ERRCODE = 'null_value_not_allowed';
    END IF;
    LOOP
        UPDATE wkr_job_qty
           SET kind   = coalesce(kind, 0)   + coalesce(p_kind, 0),
               volume = coalesce(volume, 0) + coalesce(p_volume, 0),
               amount = coalesce(amount, 0) + coalesce(p_amount, 0)
         WHERE job_type = p_job_type AND wkr_no_f = p_wkr_no AND oper_date = v_day;
        EXIT WHEN FOUND;
        BEGIN
            INSERT INTO wkr_job_qty (job_type, wkr_no_f, oper_date, kind, volume, amount)
            VALUES (p_job_type, p_wkr_no, v_day,
                    coalesce(p_kind, 0), coalesce(p_volume, 0), coalesce(p_amount, 0));
            EXIT;
        EXCEPTION WHEN unique_violation THEN
            -- another desk of the same worker opened the day's record meanwhile: add to it
            NULL;
        END;
    END LOOP;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Reading events
--
-- Each event is written twice: into the desk's log (book_use_stat, reader_stat,
-- reader_book_stat), which the reading-log window lists and purges, and into the history
-- table (book_use_stat_hist, reader_stat_hist, redr_book_stat_hist) that the statistics count
-- by class and which a purge of the log leaves alone.  A book event carries the item's MARC
-- record, call number and classification scheme so that the statistics need no join.
-- An empty or missing event time stands for now.

-- Item facts for a reading event: MARC record, call number (the desk's, else the item's) and
-- the classification scheme of that call number.
CREATE OR REPLACE FUNCTION lt_item_class(
    p_prop_no text, p_call_no text,
    OUT marc_rec_no text, OUT call_no text, OUT cls_id text)
LANGUAGE plpgsql STABLE
AS $$
BEGIN
    SELECT i.marc_rec_no, coalesce(nullif(p_call_no, ''), i.call_no)
      INTO marc_rec_no, call_no
      FROM item i
     WHERE i.prop_no = p_prop_no;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'item % does not exist', p_prop_no USING ERRCODE = 'no_data_found';
    END IF;
    SELECT c.cls_id INTO cls_id FROM call_no_lst c WHERE c.call_no = lt_item_class.call_no;
END
$$;

-- One book used in the room (book counting).
CREATE OR REPLACE PROCEDURE lt_book_use_stat(
    p_prop_no text, p_date_time text, p_location text, p_wkr_no text, p_call_no text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_time text := coalesce(nullif(p_date_time, ''), lt_server_time());
    v      record;
BEGIN
    v := lt_item_class(p_prop_no, p_call_no);
    INSERT INTO book_use_stat (prop_no, use_date_time, location_f, resp_wkr, call_no)
    VALUES (p_prop_no, v_time, p_location, p_wkr_no, v.call_no);
    INSERT INTO book_use_stat_hist
           (prop_no, date_time, location_f, resp_wkr, marc_rec_no, call_no, cls_id)
    VALUES (p_prop_no, v_time, p_location, p_wkr_no, v.marc_rec_no, v.call_no, v.cls_id);
    UPDATE item
       SET year_read_qty = coalesce(year_read_qty, 0) + 1,
           total_read_qty = coalesce(total_read_qty, 0) + 1
     WHERE prop_no = p_prop_no;
    UPDATE call_no_lst
       SET year_read_qty = coalesce(year_read_qty, 0) + 1,
           total_read_qty = coalesce(total_read_qty, 0) + 1
     WHERE call_no = v.call_no;
END
$$;

-- One book used by an admitted reader (reader and book registration).
CREATE OR REPLACE PROCEDURE lt_reader_book_stat(
    p_prop_no text, p_cert_id text, p_date_time text, p_location text, p_wkr_no text,
    p_call_no text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_time text := coalesce(nullif(p_date_time, ''), lt_server_time());
    v      record;
BEGIN
    v := lt_item_class(p_prop_no, p_call_no);
    INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, resp_wkr, call_no)
    VALUES (p_prop_no, p_cert_id, v_time, p_location, p_wkr_no, v.call_no);
    INSERT INTO redr_book_stat_hist
           (prop_no, cert_id, date_time, location_f, resp_wkr, marc_rec_no, call_no, cls_id)
    VALUES (p_prop_no, p_cert_id, v_time, p_location, p_wkr_no,
            v.marc_rec_no, v.call_no, v.cls_id);
    UPDATE item
       SET year_read_qty = coalesce(year_read_qty, 0) + 1,
           total_read_qty = coalesce(total_read_qty, 0) + 1
     WHERE prop_no = p_prop_no;
    UPDATE call_no_lst
       SET year_read_qty = coalesce(year_read_qty, 0) + 1,
           total_read_qty = coalesce(total_read_qty, 0) + 1
     WHERE call_no = v.call_no;
END
$$;

-- One reader checked in at the room.
CREATE OR REPLACE PROCEDURE lt_reader_stat(
    p_cert_id text, p_date_time text, p_location text, p_wkr_no text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_time text := coalesce(nullif(p_date_time, ''), lt_server_time());
BEGIN
    IF p_cert_id IS NULL THEN
        RAISE EXCEPTION 'a check-in needs a reader' USING ERRCODE = 'null_value_not_allowed';
    END IF;
    INSERT INTO reader_stat (cert_id, read_date_time, location_f, resp_wkr)
    VALUES (p_cert_id, v_time, p_location, p_wkr_no);
    INSERT INTO reader_stat_hist (cert_id, date_time, location_f, resp_wkr)
    VALUES (p_cert_id, v_time, p_location, p_wkr_no);
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Partial updates
--
-- Each takes the key and every other column of its row in the table's column order; a NULL
-- argument leaves its column as it is, any other value (the empty text included) replaces it.
-- A key that matches no row is an error, so that a mistyped key never passes for success.

-- A violation of a reader, keyed by (cert_id, punish_date).
CREATE OR REPLACE PROCEDURE lt_upd_reader_volt_lst(
    p_cert_id text, p_punish_date text, p_volt_code text, p_prop_no text, p_location_f text,
    p_real_fine_amt numeric, p_fine_date text, p_bill_no text, p_froz_end_date text,
    p_volt_deal_flag text, p_resp_wkr text, p_remark text)
LANGUAGE plpgsql
AS $$
BEGIN
    UPDATE reader_volt_lst
       SET volt_code      = coalesce(p_volt_code, volt_code),
           prop_no        = coalesce(p_prop_no, prop_no),
           location_f     = coalesce(p_location_f, location_f),
           real_fine_amt  = coalesce(p_real_fine_amt, real_fine_amt),
           fine_date      = coalesce(p_fine_date, fine_date),
           bill_no        = coalesce(p_bill_no, bill_no),
           froz_end_date  = coalesce(p_froz_end_date, froz_end_date),
           volt_deal_flag = coalesce(p_volt_deal_flag, volt_deal_flag),
           resp_wkr       = coalesce(p_resp_wkr, resp_wkr),
           remark         = coalesce(p_remark, remark)
     WHERE cert_id = p_cert_id AND punish_date = p_punish_date;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'no violation of reader % on %', p_cert_id, p_punish_date
              USING ERRCODE = 'no_data_found';
    END IF;
END
$$;

-- A reader: cert_id and the 30 further columns of the reader row, in this order:
--   2 redr_type_code  3 lend_grd  4 id_card  5 name  6 sex  7 birthday  8 dept
--   9 occupation  10 duty  11 position  12 address  13 tele  14 postcode  15 email
--   16 total_lend_qty  17 year_lend_qty  18 volt_flag  19 debt_flag  20 education
--   21 password  22 code01  23 code02  24 remark  25 redr_reg_day  26 redr_del_day
--   27 deposit  28 redr_flag  29 mobile  30 obligate  31 r_dep_id
-- The admission check writes the number of open violations at 18, the fine window the
-- outstanding total at 19 and the prepaid balance at 30.
CREATE OR REPLACE PROCEDURE lt_upd_reader_new(
    p_cert_id text, p_redr_type_code text, p_lend_grd text, p_id_card text, p_name text,
    p_sex text, p_birthday text, p_dept text, p_occupation text, p_duty text,
    p_position text, p_address text, p_tele text, p_postcode text, p_email text,
    p_total_lend_qty numeric, p_year_lend_qty numeric, p_volt_flag numeric,
    p_debt_flag numeric, p_education text, p_password text, p_code01 text, p_code02 text,
    p_remark text, p_redr_reg_day text, p_redr_del_day text, p_deposit numeric,
    p_redr_flag text, p_mobile text, p_obligate numeric, p_r_dep_id text)
LANGUAGE plpgsql
AS $$
BEGIN
    UPDATE reader
       SET redr_type_code = coalesce(p_redr_type_code, redr_type_code),
           lend_grd       = coalesce(p_lend_grd, lend_grd),
           id_card        = coalesce(p_id_card, id_card),
           name           = coalesce(p_name, name),
           sex            = coalesce(p_sex, sex),
           birthday       = coalesce(p_birthday, birthday),
           dept           = coalesce(p_dept, dept),
           occupation     = coalesce(p_occupation, occupation),
           duty           = coalesce(p_duty, duty),
           position       = coalesce(p_position, position),
           address        = coalesce(p_address, address),
           tele           = coalesce(p_tele, tele),
           postcode       = coalesce(p_postcode, postcode),
           email          = coalesce(p_email, email),
           total_lend_qty = coalesce(round(p_total_lend_qty)::integer, total_lend_qty),
           year_lend_qty  = coalesce(round(p_year_lend_qty)::integer, year_lend_qty),
           volt_flag      = coalesce(round(p_volt_flag)::integer, volt_flag),
           debt_flag      = coalesce(p_debt_flag, debt_flag),
           education      = coalesce(p_education, education),
           password       = coalesce(p_password, password),
           code01         = coalesce(p_code01, code01),
           code02         = coalesce(p_code02, code02),
           remark         = coalesce(p_remark, remark),
           redr_reg_day   = coalesce(p_redr_reg_day, redr_reg_day),
           redr_del_day   = coalesce(p_redr_del_day, redr_del_day),
           deposit        = coalesce(p_deposit, deposit),
           redr_flag      = coalesce(p_redr_flag, redr_flag),
           mobile         = coalesce(p_mobile, mobile),
           obligate       = coalesce(p_obligate, obligate),
           r_dep_id       = coalesce(p_r_dep_id, r_dep_id)
     WHERE cert_id = p_cert_id;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'reader % does not exist', p_cert_id USING ERRCODE = 'no_data_found';
    END IF;
END
$$;

-- An overdue charge, keyed by (prop_no, cert_id, lend_date), with its further columns in
-- the table's order:
--   4 ret_date  5 norm_ret_date  6 location_f  7 fine_amt  8 renew_date  9 renew_times
--   10 asback_date  11 asback_times  12 real_fine_amt  13 bill_no  14 fine_date
--   15 debt_deal_flag  16 resp_wkr  17 remark  18 time_unit  19 rule_no_f
-- The fine window settles a charge with its payment mode ("0" cash, "1" card, "2" prepaid) in
-- place of the date at 14 and waives one with the date-time there.  So a 14th argument that
-- reads as a date is the date of the settlement; any other is the payment mode, kept in
-- pay_mode, and the settlement is dated now.  A charge marked settled ("1") without any date
-- is dated now as well.
CREATE OR REPLACE PROCEDURE lt_upd_exceed_fine_lst(
    p_prop_no text, p_cert_id text, p_lend_date text, p_ret_date text,
    p_norm_ret_date text, p_location_f text, p_fine_amt numeric, p_renew_date text,
    p_renew_times numeric, p_asback_date text, p_asback_times numeric,
    p_real_fine_amt numeric, p_bill_no text, p_fine_date text, p_debt_deal_flag text,
    p_resp_wkr text, p_remark text, p_time_unit text, p_rule_no_f text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_fine_date text;
    v_pay_mode  text;
BEGIN
    IF p_fine_date ~ '^\d{4}-\d{2}-\d{2}' THEN
        v_fine_date := p_fine_date;
    ELSIF p_fine_date IS NOT NULL THEN
        v_pay_mode := p_fine_date;
        v_fine_date := lt_server_time();
    ELSIF p_debt_deal_flag = '1' THEN
        v_fine_date := lt_server_time();
    END IF;

    UPDATE exceed_fine_lst
       SET ret_date       = coalesce(p_ret_date, ret_date),
           norm_ret_date  = coalesce(p_norm_ret_date, norm_ret_date),
           location_f     = coalesce(p_location_f, location_f),
           fine_amt       = coalesce(p_fine_amt, fine_amt),
           renew_date     = coalesce(p_renew_date, renew_date),
           renew_times    = coalesce(round(p_renew_times)::integer, renew_times),
           asback_date    = coalesce(p_asback_date, asback_date),
           asback_times   = coalesce(round(p_asback_times)::integer, asback_times),
           real_fine_amt  = coalesce(p_real_fine_amt, real_fine_amt),
           bill_no        = coalesce(p_bill_no, bill_no),
           fine_date      = CASE WHEN p_fine_date IS NOT NULL THEN v_fine_date
                                 ELSE coalesce(fine_date, v_fine_date) END,
           pay_mode       = coalesce(v_pay_mode, pay_mode),
           debt_deal_flag = coalesce(p_debt_deal_flag, debt_deal_flag),
           resp_wkr       = coalesce(p_resp_wkr, resp_wkr),
           remark         = coalesce(p_remark, remark),
           time_unit      = coalesce(p_time_unit, time_unit),
           rule_no_f      = coalesce(p_rule_no_f, rule_no_f)
     WHERE prop_no = p_prop_no AND cert_id = p_cert_id AND lend_date = p_lend_date;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'no overdue charge for item % of reader % lent %',
              p_prop_no, p_cert_id, p_lend_date USING ERRCODE = 'no_data_found';
    END IF;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Photocopy loans

-- Opens a loan: cert_id, prop_no, due ("yyyy-mm-dd" for day rules, "yyyy-mm-ddhh:mm:ss" for
-- hour rules), rule number, attachments lent with the book (empty: the item's own), worker,
-- reservation flag and commission flag ("1": lent against a reservation / on commission).
-- The item is marked lent ("3" on commission), and the lending counts of item, call number
-- and reader go up.  An item already out is refused by the loan list's key.
CREATE OR REPLACE PROCEDURE lt_lendbook_new(
    p_cert_id text, p_prop_no text, p_norm_ret_date text, p_rule_no text,
    p_attachment text, p_wkr_no text, p_preg_flag text, p_rele_flag text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_item item%ROWTYPE;
BEGIN
    SELECT * INTO v_item FROM item WHERE prop_no = p_prop_no FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'item % does not exist', p_prop_no USING ERRCODE = 'no_data_found';
    END IF;
    IF p_cert_id IS NULL OR p_norm_ret_date IS NULL OR p_norm_ret_date = '' THEN
        RAISE EXCEPTION 'a loan needs a reader and a due date'
              USING ERRCODE = 'null_value_not_allowed';
    END IF;

    INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, attachment,
                          resp_wkr, preg_flag, rele_flag, renew_times, asback_times, location)
    VALUES (p_cert_id, p_prop_no, lt_server_time(), p_norm_ret_date, p_rule_no,
            coalesce(nullif(p_attachment, ''), v_item.attachment, ''), p_wkr_no,
            coalesce(nullif(p_preg_flag, ''), '0'), coalesce(nullif(p_rele_flag, ''), '0'),
            0, 0, v_item.location);

    UPDATE item
       SET book_lend_flag = CASE WHEN p_rele_flag = '1' THEN '3' ELSE '1' END,
           year_lend_qty  = coalesce(year_lend_qty, 0) + 1,
           total_lend_qty = coalesce(total_lend_qty, 0) + 1
     WHERE prop_no = p_prop_no;
    -- The reader before the call number: the desk's order of locks (src/desk/lockorder.h).
    UPDATE reader
       SET year_lend_qty  = coalesce(year_lend_qty, 0) + 1,
           total_lend_qty = coalesce(total_lend_qty, 0) + 1
     WHERE cert_id = p_cert_id;
    UPDATE call_no_lst
       SET year_lend_qty  = coalesce(year_lend_qty, 0) + 1,
           total_lend_qty = coalesce(total_lend_qty, 0) + 1
     WHERE call_no = v_item.call_no;
END
$$;

-- Moves an item (and its open loan) to a location.
CREATE OR REPLACE PROCEDURE lt_modiloca(p_prop_no text, p_location text)
LANGUAGE plpgsql
AS $$
BEGIN
    UPDATE item SET location = p_location WHERE prop_no = p_prop_no;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'item % does not exist', p_prop_no USING ERRCODE = 'no_data_found';
    END IF;
    UPDATE lend_lst SET location = p_location WHERE prop_no = p_prop_no;
END
$$;

-- Closes a loan: prop_no, cert_id, due as the charge was worked out against, charged count
-- (days or hours), charge, unit ("D" or "H", empty without charge), how the charge was worked
-- out, worker.  The loan moves into the lending history and the item is back on the shelf.  A
-- charge above 0 becomes an unsettled overdue charge of the item's location and is added to
-- the reader's outstanding total.
CREATE OR REPLACE PROCEDURE lt_retbook_new(
    p_prop_no text, p_cert_id text, p_norm_ret_date text, p_count numeric, p_fine numeric,
    p_time_unit text, p_remark text, p_wkr_no text)
LANGUAGE plpgsql
AS $$
DECLARE
    v_loan   lend_lst%ROWTYPE;
    v_item   item%ROWTYPE;
    v_cls_id text;
    v_now    text := lt_server_time();
BEGIN
    -- The item before its loan: the desk's order of locks (src/desk/lockorder.h).
    SELECT * INTO v_item FROM item WHERE prop_no = p_prop_no FOR UPDATE;
    SELECT * INTO v_loan
      FROM lend_lst
     WHERE prop_no = p_prop_no AND (p_cert_id IS NULL OR cert_id = p_cert_id)
       FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'item % is not lent to reader %', p_prop_no, p_cert_id
              USING ERRCODE = 'no_data_found';
    END IF;
    SELECT cls_id INTO v_cls_id FROM call_no_lst WHERE call_no = v_item.call_no;

    INSERT INTO lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, norm_ret_date, excd_days,
                           renew_date, renew_times, asback_date, asback_times, location,
                           lend_wkr, ret_wkr, cls_id, attachment, preg_flag, rele_flag,
                           rule_no_f)
    VALUES (v_loan.cert_id, v_loan.prop_no, v_loan.lend_date, v_now, v_loan.norm_ret_date,
            coalesce(round(p_count)::integer, 0), v_loan.renew_date, v_loan.renew_times,
            v_loan.asback_date, v_loan.asback_times,
            coalesce(v_loan.location, v_item.location), v_loan.resp_wkr, p_wkr_no,
            v_cls_id, v_loan.attachment, v_loan.preg_flag, v_loan.rele_flag,
            v_loan.rule_no_f);
    DELETE FROM lend_lst WHERE prop_no = v_loan.prop_no AND cert_id = v_loan.cert_id;
    UPDATE item SET book_lend_flag = '0' WHERE prop_no = p_prop_no;

    IF coalesce(p_fine, 0) > 0 THEN
        INSERT INTO exceed_fine_lst (prop_no, cert_id, lend_date, ret_date, norm_ret_date,
                                     location_f, fine_amt, renew_date, renew_times,
                                     asback_date, asback_times, real_fine_amt,
                                     debt_deal_flag, resp_wkr, remark, time_unit, rule_no_f)
        VALUES (v_loan.prop_no, v_loan.cert_id, v_loan.lend_date, v_now,
                coalesce(nullif(p_norm_ret_date, ''), v_loan.norm_ret_date),
                coalesce(v_loan.location, v_item.location), p_fine,
                v_loan.renew_date, v_loan.renew_times, v_loan.asback_date,
                v_loan.asback_times, 0, '0', p_wkr_no, p_remark,
                coalesce(nullif(p_time_unit, ''), 'D'), v_loan.rule_no_f);
        UPDATE reader SET debt_flag = coalesce(debt_flag, 0) + p_fine
         WHERE cert_id = v_loan.cert_id;
    END IF;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Account book

-- One entry of the reader's account book: cert_id, entry type ("5" overdue fine paid,
-- "6" fine reduced or waived), payment mode ("0" cash, "1" card, "2" prepaid), entry flag,
-- date-time (empty: now), bill number, worker, amount.
CREATE OR REPLACE PROCEDURE insert_deposit_account_lst(
    p_cert_id text, p_acct_type text, p_pay_mode text, p_acct_flag text, p_oper_date text,
    p_bill_no text, p_wkr_no text, p_amount numeric)
LANGUAGE plpgsql
AS $$
BEGIN
    INSERT INTO deposit_account_lst (cert_id, acct_type, pay_mode, acct_flag, oper_date,
                                     bill_no, resp_wkr, amount)
    VALUES (p_cert_id, p_acct_type, p_pay_mode, p_acct_flag,
            coalesce(nullif(p_oper_date, ''), lt_server_time()), p_bill_no, p_wkr_no,
            coalesce(p_amount, 0));
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Classification statistics (schema tj_sort)
--
-- The statistics windows hand over one SELECT whose first column joins its figures with ","
-- and, per class of a template, a condition (" AND (...)") that restricts it to the class.
-- Arrays are text[] indexed from 1; the class conditions and class codes travel in the same
-- order.  Figures that are NULL (a SUM over no rows makes the whole joined text NULL) come
-- back as empty fields, as many as the statement joins, so "a,b,c" becomes ",,".

-- The statement as handed over, without trailing blanks and semicolons.
CREATE OR REPLACE FUNCTION tj_sort.clean_sql(p_sql text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT regexp_replace(coalesce(p_sql, ''), '[\s;]+$', '') $$;

-- The empty figures of a statement: one "," less than it has figures joined by || ',' ||.
CREATE OR REPLACE FUNCTION tj_sort.empty_figures(p_sql text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT repeat(',', (SELECT count(*)::integer
                            FROM regexp_matches(p_sql, '\|\|\s*'',''\s*\|\|', 'g'))) $$;

-- result[i] := the first row's first column of strsql || condition[i], for i = 1..arraysize.
CREATE OR REPLACE PROCEDURE tj_sort.getcommonsortdata(
    strsql text, arraysize integer, condition text[], INOUT result text[] DEFAULT NULL)
LANGUAGE plpgsql
AS $$
DECLARE
    v_n   integer := least(coalesce(arraysize, cardinality(condition)),
                           coalesce(cardinality(condition), 0));
    v_sql   text := tj_sort.clean_sql(strsql);
    v_empty text := tj_sort.empty_figures(strsql);
    v_val   text;
BEGIN
    result := '{}';
    FOR i IN 1 .. v_n LOOP
        EXECUTE format('SELECT q.c1::text FROM (%s %s) AS q(c1) LIMIT 1',
                       v_sql, coalesce(condition[i], ''))
           INTO v_val;
        result := result || coalesce(v_val, v_empty);
    END LOOP;
END
$$;

-- The ranked titles per class for the ranking windows: strsql || condition[i] returns rows of
-- (marc_rec_no, copies, readings, rate) in ranking order; they land in tj_tmp_rate with the
-- class code groupid[i] and their rank row_num 1..n.  tj_tmp_rate is private to the session
-- (a temporary table that hides the shared one of the same name) and is emptied by each call,
-- so desks ranking at the same time never see each other's rows; the caller reads it in the
-- same session, inside the transaction of the call.
CREATE OR REPLACE PROCEDURE tj_sort.getgroupdata(
    strsql text, arraysize integer, condition text[], groupid text[])
LANGUAGE plpgsql
AS $$
DECLARE
    v_n   integer := least(coalesce(arraysize, cardinality(condition)),
                           coalesce(cardinality(condition), 0));
    v_sql text := tj_sort.clean_sql(strsql);
BEGIN
    IF to_regclass('pg_temp.tj_tmp_rate') IS NULL THEN
        CREATE TEMPORARY TABLE tj_tmp_rate (
            sub_stat_code text,
            row_num       integer,
            marc_rec_no   text,
            itemcount     numeric,
            lendcount     numeric,
            lendrate      numeric
        );
    END IF;
    DELETE FROM pg_temp.tj_tmp_rate;
    FOR i IN 1 .. v_n LOOP
        -- the statement's own ORDER BY ranks the rows; numbering them as they come keeps it
        EXECUTE format(
            'INSERT INTO pg_temp.tj_tmp_rate '
            '       (sub_stat_code, row_num, marc_rec_no, itemcount, lendcount, lendrate) '
            'SELECT $1, row_number() OVER (), q.c1::text, q.c2, q.c3, q.c4 '
            '  FROM (%s %s) AS q(c1, c2, c3, c4)',
            v_sql, coalesce(condition[i], ''))
          USING groupid[i];
    END LOOP;
END
$$;

-- result := the first column of the statement's rows (at most 1000), arraysize := their number.
CREATE OR REPLACE PROCEDURE tj_sort.getbulkdata(
    strsql text, INOUT arraysize integer DEFAULT NULL, INOUT result text[] DEFAULT NULL)
LANGUAGE plpgsql
AS $$
BEGIN
    EXECUTE format('SELECT array(SELECT coalesce(q.c1::text, $1) '
                   '               FROM (%s) AS q(c1) LIMIT 1000)',
                   tj_sort.clean_sql(strsql))
       INTO result USING tj_sort.empty_figures(strsql);
    arraysize := cardinality(result);
END
$$;
