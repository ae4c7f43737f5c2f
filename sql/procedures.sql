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
            OR ns.nspname = 'tj_sort'
    LOOP
        IF p.prokind = 'p' THEN
            EXECUTE format('DROP PROCEDURE %s', p.sig);
        ELSE
            EXECUTE format('DROP FUNCTION %s CASCADE', p.sig); -- with the triggers that call it
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
-- today, or for the day given (work recorded later than it was done); the first job of a day opens
-- the record.
CREATE OR REPLACE PROCEDURE xt_wkr_job_qty(
    p_job_type text, p_wkr_no text, p_kind numeric, p_volume numeric, p_amount numeric,
    p_oper_date text DEFAULT NULL)
LANGUAGE plpgsql
AS $$
DECLARE
    v_day text := coalesce(nullif(p_oper_date, ''), substr(lt_server_time(), 1, 10));
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
--
-- GetCommonSortData answers the statements of the classification windows (figures by reader
-- type of the reader-book history, or titles and items of a book history, restricted by
-- substr(date_time, 1, n) and the room) without running them once per class:
--   1. from the summaries (tj_class_day, tj_total_day, tj_type_year, tj_title_year) when the
--      period allows: the class-day summary serves the classes of the stored templates over
--      any days, recognised by their condition text, which this file builds by the same rule as
--      the desk; the yearly summaries serve any classes over whole years;
--   2. otherwise in one pass over the history joined to the classes' (scheme, call number)
--      pairs, which the conditions select from tj_class_key;
--   3. any other statement, or conditions that are not about the scheme and call number of
--      the history row, class by class as the statement says.
-- Every way gives the same figures; tj_sort.last_way tells which one answered (for tests).

-- The statement as handed over, without trailing blanks and semicolons.
CREATE OR REPLACE FUNCTION tj_sort.clean_sql(p_sql text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT regexp_replace(coalesce(p_sql, ''), '[\s;]+$', '') $$;

-- The empty figures of a statement: one "," less than it has figures joined by || ',' ||.
CREATE OR REPLACE FUNCTION tj_sort.empty_figures(p_sql text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT repeat(',', (SELECT count(*)::integer
                            FROM regexp_matches(p_sql, '\|\|\s*'',''\s*\|\|', 'g'))) $$;

-- A text as an SQL literal, the way the desk quotes it (NULL as '').
CREATE OR REPLACE FUNCTION tj_sort.q(p text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT '''' || replace(coalesce(p, ''), '''', '''''') || '''' $$;

-- The condition of one class on table p_table from its composition rows (schemes and
-- patterns in list order), by the desk's rule: a pattern is a prefix, a range low~high, or a
-- list of those separated by ","; a class without rows selects nothing.
CREATE OR REPLACE FUNCTION tj_sort.class_condition(p_table text, p_cls_ids text[], p_patterns text[])
RETURNS text
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    f     text := p_table || '.call_no ';
    acc   text := '';
    pat   text;
    piece text;
    parts text;
    k     integer;
BEGIN
    IF coalesce(cardinality(p_patterns), 0) = 0 THEN
        RETURN ' (1=0) ';
    END IF;
    FOR j IN 1 .. cardinality(p_patterns) LOOP
        pat := regexp_replace(p_patterns[j], '^[ \t\n\r\v\f]+|[ \t\n\r\v\f]+$', '', 'g');
        IF strpos(pat, ',') > 0 THEN
            parts := '';
            FOREACH piece IN ARRAY string_to_array(pat, ',') LOOP
                k := strpos(piece, '~');
                IF k > 0 THEN
                    parts := parts || ' OR (' || f || ' >= ' || tj_sort.q(left(piece, k - 1))
                             || ' AND substr(' || f || ',1,' || char_length(substr(piece, k + 1))
                             || ')<= ' || tj_sort.q(substr(piece, k + 1)) || ') ';
                ELSE
                    parts := parts || ' OR ' || f || ' like ' || tj_sort.q(piece || '%');
                END IF;
            END LOOP;
            parts := regexp_replace(parts, ' OR ', ' ', 'i');
            acc := acc || ' OR ' || ' (' || p_table || '.cls_id = ' || tj_sort.q(p_cls_ids[j]) || ' AND '
                   || ' (' || parts || ') ' || ') ';
        ELSIF strpos(pat, '~') > 0 THEN
            k := strpos(pat, '~');
            acc := acc || ' OR ' || ' (' || p_table || '.cls_id = ' || tj_sort.q(p_cls_ids[j]) || ' AND '
                   || f || ' >= ' || tj_sort.q(left(pat, k - 1)) || ' AND substr(' || f || ',1,'
                   || char_length(substr(pat, k + 1)) || ')<= ' || tj_sort.q(substr(pat, k + 1)) || ') ';
        ELSE
            acc := acc || ' OR ' || ' (' || p_table || '.cls_id = ' || tj_sort.q(p_cls_ids[j]) || ' AND '
                   || f || ' like ' || tj_sort.q(pat || '%') || ') ';
        END IF;
    END LOOP;
    RETURN ' (' || regexp_replace(acc, 'OR', '', 'i') || ') ';
END
$$;

-- The conditions of a stored template's classes on p_table, read with the desk's own
-- composition statement so that the rows come in the order the desk sees them.
CREATE OR REPLACE FUNCTION tj_sort.class_conditions(p_table text, p_code text)
RETURNS TABLE (sub_stat_code text, condition text)
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    v_subs  text[];
    v_ids   text[];
    v_pats  text[];
BEGIN
    EXECUTE 'SELECT array_agg(rtrim(q.sub_stat_code, '' '')), array_agg(rtrim(q.cls_id, '' '')), '
            || 'array_agg(rtrim(q.comp_cls, '' '')) FROM ('
            || 'SELECT sub_stat_code,cls_id,comp_cls     FROM   stat_cls_comp      WHERE  stat_type_code='
            || tj_sort.q(p_code) || '     ORDER BY sub_stat_code) q'
       INTO v_subs, v_ids, v_pats;
    RETURN QUERY
        SELECT u.sub, tj_sort.class_condition(p_table, array_agg(u.cls_id ORDER BY u.ord),
                                              array_agg(u.pat ORDER BY u.ord))
          FROM unnest(v_subs, v_ids, v_pats) WITH ORDINALITY AS u(sub, cls_id, pat, ord)
         GROUP BY u.sub
         ORDER BY min(u.ord);
END
$$;

-- What a classification statement asks, when it is one of the two forms the windows send:
--   'readers': SELECT SUM(decode(reader.redr_type_code,'c1' ,1,0)) || ',' || ... FROM
--              redr_book_stat_hist ,reader WHERE redr_book_stat_hist.cert_id = reader.cert_id
--              and <restrictions>
--   'titles':  SELECT COUNT(distinct T.marc_rec_no)|| ',' ||COUNT(T.prop_no) FROM T
--              WHERE <restrictions>, T one of the two book histories;
-- the restrictions joined by AND, each substr(T.date_time,1,n) (=, >= or <=) 'v' or
-- T.location_f = 'v'.  Blanks and the case of names do not matter.  form is NULL for any
-- other statement.
CREATE OR REPLACE FUNCTION tj_sort.parse_statement(
    p_sql text,
    OUT form text, OUT hist_table text, OUT codes text[],
    OUT period_len integer[], OUT period_op text[], OUT period_val text[], OUT locations text[])
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    v_shape text;
    v_lits  text[];
    v_m     text[];
    v_tail  text;
    v_next  integer;
    v_terms integer;
    v_pred  text[];
    v_pred_re constant text :=
        ' and (?:substr \( (?:redr_book_stat_hist|book_use_stat_hist)\.date_time , 1 , ([0-9]{1,4}) \) (=|>=|<=) \?'
        || '|(?:redr_book_stat_hist|book_use_stat_hist)\.location_f = \?)';
BEGIN
    -- Tokens: literals become ?, names are folded to lower case.
    SELECT string_agg(CASE WHEN t ~ '^''.*''$' AND length(t) > 1 THEN '?'
                           WHEN t ~ '^[A-Za-z_]' THEN lower(t)
                           ELSE t END, ' ' ORDER BY ord),
           array_agg(replace(substr(t, 2, length(t) - 2), '''''', '''') ORDER BY ord)
               FILTER (WHERE t ~ '^''.*''$' AND length(t) > 1)
      INTO v_shape, v_lits
      FROM regexp_matches(p_sql, '(''(?:[^'']|'''')*''|[A-Za-z_][A-Za-z0-9_$]*(?:\.[A-Za-z_][A-Za-z0-9_$]*)*'
                                 || '|[0-9]+|\|\||>=|<=|<>|!=|\S)', 'g') WITH ORDINALITY AS x(m, ord),
           LATERAL (SELECT x.m[1] AS t) tok;

    v_m := regexp_match(v_shape,
        '^select sum \( decode \( reader\.redr_type_code , \? , 1 , 0 \) \)'
        || '((?: \|\| \? \|\| sum \( decode \( reader\.redr_type_code , \? , 1 , 0 \) \))*)'
        || ' from redr_book_stat_hist , reader where (?:redr_book_stat_hist\.cert_id = reader\.cert_id'
        || '|reader\.cert_id = redr_book_stat_hist\.cert_id)((?:' || v_pred_re || ')*)$');
    IF v_m IS NOT NULL THEN
        form := 'readers';
        hist_table := 'redr_book_stat_hist';
        v_terms := 1 + (SELECT count(*) FROM regexp_matches(v_m[1], 'sum', 'g'));
        codes := ARRAY(SELECT v_lits[2 * j - 1] FROM generate_series(1, v_terms) j ORDER BY j);
        IF EXISTS (SELECT 1 FROM generate_series(1, v_terms - 1) j WHERE v_lits[2 * j] <> ',') THEN
            form := NULL;
            RETURN;
        END IF;
        v_next := 2 * v_terms;
        v_tail := v_m[2];
    ELSE
        v_m := regexp_match(v_shape,
            '^select count \( distinct (redr_book_stat_hist|book_use_stat_hist)\.marc_rec_no \) \|\| \? \|\| '
            || 'count \( \1\.prop_no \) from \1 where (.*)$');
        IF v_m IS NULL OR v_lits[1] <> ',' THEN
            RETURN;
        END IF;
        v_tail := ' and ' || v_m[2];
        IF v_tail !~ ('^(?:' || v_pred_re || ')+$') THEN
            RETURN;
        END IF;
        form := 'titles';
        hist_table := v_m[1];
        v_next := 2;
    END IF;

    -- The restrictions take the remaining literals in order; each must name the statement's table.
    period_len := '{}'; period_op := '{}'; period_val := '{}'; locations := '{}';
    FOR v_pred IN
        SELECT regexp_match(p[1], '^ and (?:substr \( ([a-z_]+)\.date_time , 1 , ([0-9]+) \) (=|>=|<=)'
                                  || '|([a-z_]+)\.location_f =) \?$')
          FROM regexp_matches(v_tail, '( and [^?]*\?)', 'g') AS p
    LOOP
        IF coalesce(v_pred[1], v_pred[4]) IS DISTINCT FROM hist_table THEN
            form := NULL;
            RETURN;
        END IF;
        IF v_pred[1] IS NOT NULL THEN
            period_len := period_len || v_pred[2]::integer;
            period_op := period_op || v_pred[3];
            period_val := period_val || v_lits[v_next];
        ELSE
            locations := locations || v_lits[v_next];
        END IF;
        v_next := v_next + 1;
    END LOOP;
    IF v_next - 1 <> coalesce(cardinality(v_lits), 0) THEN
        form := NULL;
    END IF;
END
$$;

-- The restrictions of a parsed statement as a condition on the column p_period_col, which
-- holds the first p_width characters of date_time, and the room column; NULL when a period
-- restriction looks further into the time than the column holds.
CREATE OR REPLACE FUNCTION tj_sort.restriction(
    p_period_col text, p_width integer, p_location_col text,
    p_len integer[], p_op text[], p_val text[], p_locations text[])
RETURNS text
LANGUAGE sql IMMUTABLE
AS $$
    SELECT CASE WHEN EXISTS (SELECT 1 FROM unnest(p_len) n WHERE n > p_width) THEN NULL
           ELSE concat_ws(' AND ', 'true',
                          -- the column itself where the restriction reads all of it (its statistics
                          -- then tell the planner how many rows qualify)
                          (SELECT string_agg(CASE WHEN u.n >= p_width
                                                  THEN format('%s %s %L', p_period_col, u.op, u.v)
                                                  ELSE format('substr(%s, 1, %s) %s %L', p_period_col, u.n, u.op, u.v)
                                             END, ' AND ')
                             FROM unnest(p_len, p_op, p_val) AS u(n, op, v)),
                          (SELECT string_agg(format('%s = %L', p_location_col, l), ' AND ')
                             FROM unnest(p_locations) l))
           END
$$;

-- The figures of a parsed statement, its tables and its restrictions, written anew (the
-- same functions on the same literals).
CREATE OR REPLACE FUNCTION tj_sort.statement_parts(
    p_sql text, OUT figures text, OUT source text, OUT restriction text)
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    s record;
BEGIN
    SELECT * INTO s FROM tj_sort.parse_statement(p_sql);
    IF s.form = 'readers' THEN
        SELECT string_agg(format('SUM(decode(reader.redr_type_code,%L,1,0))', c), ' || '','' || ' ORDER BY o)
          INTO figures FROM unnest(s.codes) WITH ORDINALITY AS u(c, o);
        source := 'redr_book_stat_hist, reader';
        restriction := 'redr_book_stat_hist.cert_id = reader.cert_id AND ';
    ELSIF s.form = 'titles' THEN
        figures := format('COUNT(DISTINCT %1$s.marc_rec_no) || '','' || COUNT(%1$s.prop_no)', s.hist_table);
        source := s.hist_table;
        restriction := '';
    ELSE
        RETURN;
    END IF;
    restriction := restriction || tj_sort.restriction(s.hist_table || '.date_time', 2147483647,
                                                      s.hist_table || '.location_f', s.period_len,
                                                      s.period_op, s.period_val, s.locations);
END
$$;

-- Which stored-template class each condition is, by its text: per condition its position, the
-- template and class code (NULL for the condition of a class without composition rows), and
-- whether it is one of them at all.
CREATE OR REPLACE FUNCTION tj_sort.stored_classes(p_table text, p_conditions text[])
RETURNS TABLE (i integer, stat_type_code text, sub_stat_code text, matched boolean)
LANGUAGE sql STABLE
AS $$
    WITH stored AS (
        SELECT c.stat_type_code, cc.sub_stat_code, ' AND ' || cc.condition AS cond
          FROM (SELECT DISTINCT stat_type_code FROM stat_cls_comp) c,
               LATERAL tj_sort.class_conditions(p_table, c.stat_type_code) cc)
    SELECT x.i::integer, s.stat_type_code, s.sub_stat_code,
           s.stat_type_code IS NOT NULL OR x.cond = ' AND ' || tj_sort.class_condition(p_table, '{}', '{}')
      FROM unnest(p_conditions) WITH ORDINALITY AS x(cond, i)
      LEFT JOIN LATERAL (SELECT st.stat_type_code, st.sub_stat_code FROM stored st
                          WHERE st.cond = x.cond ORDER BY 1, 2 LIMIT 1) s ON true
$$;

-- Whether a condition is " AND (...)" with one pair of parentheses around the rest, so that it
-- restricts whatever precedes it (literals may hold any character).
CREATE OR REPLACE FUNCTION tj_sort.is_one_group(p_condition text) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    v_depth integer := 0;
    v_tokens text[];
BEGIN
    v_tokens := ARRAY(SELECT m[1] FROM regexp_matches(p_condition, '(''(?:[^'']|'''')*''|[()]|[^()'']+|'')', 'g') m);
    IF coalesce(cardinality(v_tokens), 0) < 3 OR v_tokens[1] !~* '^\s*and\s*$' OR v_tokens[2] <> '('
       OR v_tokens[cardinality(v_tokens)] !~ '^\s*$' AND v_tokens[cardinality(v_tokens)] <> ')' THEN
        RETURN false;
    END IF;
    FOR j IN 2 .. cardinality(v_tokens) LOOP
        IF v_tokens[j] = '(' THEN
            v_depth := v_depth + 1;
        ELSIF v_tokens[j] = ')' THEN
            v_depth := v_depth - 1;
        ELSIF v_tokens[j] = '''' THEN
            RETURN false; -- an unterminated literal
        ELSIF v_depth = 0 AND v_tokens[j] !~ '^\s*$' THEN
            RETURN false; -- something outside the parentheses
        END IF;
        IF v_depth = 0 AND j < cardinality(v_tokens) AND v_tokens[j] = ')'
           AND EXISTS (SELECT 1 FROM unnest(v_tokens[j + 1:]) t WHERE t !~ '^\s*$') THEN
            RETURN false; -- the first group closes before the end
        END IF;
    END LOOP;
    RETURN v_depth = 0;
END
$$;

-- The pairs (i, cls_id, call_no) each condition selects, handed to the counting statements as
-- arrays, so that nothing is written and the statistics also run on a read-only standby.  For
-- classes of stored templates (stored) the classes themselves: ids, type_codes, sub_codes, whose
-- pairs the statements join from tj_class_member; when any condition is another one, the pairs
-- of every condition (ids, cls_ids, call_nos), the others evaluated on tj_class_key under the
-- table's name.  readable is false when a condition cannot be read that way (it looks at
-- anything but the scheme and call number of the row) or selects a pair with an empty scheme
-- or call number, which a join on the pair would miss.  Without p_pairs only the stored
-- classes are listed.
CREATE OR REPLACE FUNCTION tj_sort.class_map(
    p_table text, p_conditions text[], p_pairs boolean DEFAULT true,
    OUT readable boolean, OUT stored boolean, OUT ids integer[], OUT type_codes text[],
    OUT sub_codes text[], OUT cls_ids text[], OUT call_nos text[])
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    v_matched boolean[];
    v_cls     text[];
    v_calls   text[];
    v_ids     integer[] := '{}';
BEGIN
    SELECT coalesce(array_agg(l.i ORDER BY l.i), '{}'), coalesce(array_agg(l.stat_type_code ORDER BY l.i), '{}'),
           coalesce(array_agg(l.sub_stat_code ORDER BY l.i), '{}'), coalesce(array_agg(l.matched ORDER BY l.i), '{}')
      INTO ids, type_codes, sub_codes, v_matched
      FROM tj_sort.stored_classes(p_table, p_conditions) l;
    readable := true;
    stored := coalesce(false <> ALL (v_matched), true);
    IF stored OR NOT p_pairs THEN
        RETURN;
    END IF;
    cls_ids := '{}';
    call_nos := '{}';
    FOR k IN 1 .. cardinality(v_matched) LOOP
        IF v_matched[k] THEN
            SELECT coalesce(array_agg(m.cls_id), '{}'), coalesce(array_agg(m.call_no), '{}') INTO v_cls, v_calls
              FROM tj_class_member m WHERE m.stat_type_code = type_codes[k] AND m.sub_stat_code = sub_codes[k];
        ELSIF tj_sort.is_one_group(p_conditions[k]) THEN
            BEGIN
                EXECUTE format('SELECT coalesce(array_agg(%1$s.cls_id), ''{}''), coalesce(array_agg(%1$s.call_no), ''{}'') '
                               'FROM tj_class_key AS %1$s WHERE true %2$s', p_table, p_conditions[k])
                   INTO v_cls, v_calls;
            EXCEPTION WHEN OTHERS THEN
                readable := false;
                RETURN;
            END;
        ELSE
            readable := false;
            RETURN;
        END IF;
        IF array_position(v_cls, NULL) IS NOT NULL OR array_position(v_calls, NULL) IS NOT NULL THEN
            readable := false;
            RETURN;
        END IF;
        cls_ids := cls_ids || v_cls;
        call_nos := call_nos || v_calls;
        v_ids := v_ids || array_fill(k, ARRAY[cardinality(v_cls)]);
    END LOOP;
    ids := v_ids;
END
$$;

-- The relation (i, cls_id, call_no) of a class map inside a statement run with the map's arrays
-- as $2 (ids), $3 (type_codes), $4 (sub_codes), $5 (cls_ids) and $6 (call_nos).
CREATE OR REPLACE FUNCTION tj_sort.map_relation(p_stored boolean) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$
    SELECT CASE WHEN p_stored
                THEN '(SELECT l.i, m.cls_id, m.call_no FROM unnest($2::integer[], $3::text[], $4::text[]) '
                     'AS l(i, stat_type_code, sub_stat_code) JOIN tj_class_member m '
                     'ON m.stat_type_code = l.stat_type_code AND m.sub_stat_code = l.sub_stat_code)'
                ELSE '(SELECT u.i, u.cls_id, u.call_no FROM unnest($2::integer[], $5::text[], $6::text[]) '
                     'AS u(i, cls_id, call_no))'
           END
$$;

-- The figures of the statement under no row at all: what a class without events shows.
CREATE OR REPLACE FUNCTION tj_sort.figures_of_nothing(p_sql text) RETURNS text
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    p record;
    v text;
BEGIN
    SELECT * INTO p FROM tj_sort.statement_parts(p_sql);
    EXECUTE format('SELECT (%s)::text FROM %s WHERE false', p.figures, p.source) INTO v;
    RETURN coalesce(v, tj_sort.empty_figures(p_sql));
END
$$;

-- Runs a statement of rows (i, figures), which may use the class map's arrays, and gives the n
-- figures in class order, a class without a row taking the figures of nothing.
CREATE OR REPLACE FUNCTION tj_sort.figures_by_class(
    p_sql text, p_rows_sql text, p_n integer, p_ids integer[], p_type_codes text[], p_sub_codes text[],
    p_cls_ids text[], p_call_nos text[]) RETURNS text[]
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    v_result text[];
BEGIN
    EXECUTE format('SELECT array_agg(coalesce(r.v, $1) ORDER BY g.i) FROM generate_series(1, %s) g(i) '
                   'LEFT JOIN (%s) r(i, v) ON r.i = g.i', p_n, p_rows_sql)
       INTO v_result
      USING tj_sort.figures_of_nothing(p_sql), p_ids, p_type_codes, p_sub_codes, p_cls_ids, p_call_nos;
    RETURN v_result;
END
$$;

-- The class figures from the summaries; NULL when the summaries cannot give them (a period
-- finer than the summary, or classes not of a stored template where the summary is per class).
CREATE OR REPLACE FUNCTION tj_sort.classes_from_summaries(p_sql text, p_conditions text[]) RETURNS text[]
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    s        record;
    m        record;
    v_filter text;
    v_figures text;
BEGIN
    SELECT * INTO s FROM tj_sort.parse_statement(p_sql);
    IF s.form = 'readers' THEN
        v_filter := tj_sort.restriction('d.day', 10, 'd.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN NULL;
        END IF;
        SELECT string_agg(format('sum(CASE WHEN d.redr_type_code = %L THEN d.events ELSE 0 END)', c),
                          ' || '','' || ' ORDER BY o)
          INTO v_figures FROM unnest(s.codes) WITH ORDINALITY AS u(c, o);
        SELECT * INTO m FROM tj_sort.class_map(s.hist_table, p_conditions, false);
        IF m.stored THEN
            RETURN tj_sort.figures_by_class(p_sql, format(
                'SELECT l.i, CASE WHEN sum(d.events) > 0 THEN %s END '
                'FROM unnest($2::integer[], $3::text[], $4::text[]) AS l(i, stat_type_code, sub_stat_code) '
                'JOIN tj_class_day d ON d.stat_type_code = l.stat_type_code AND d.sub_stat_code = l.sub_stat_code '
                'WHERE %s GROUP BY l.i', v_figures, v_filter), cardinality(p_conditions),
                m.ids, m.type_codes, m.sub_codes, m.cls_ids, m.call_nos);
        END IF;
        -- Other classes over whole years: the pairs of the year summary.
        v_filter := tj_sort.restriction('d.year', 4, 'd.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN NULL;
        END IF;
        SELECT * INTO m FROM tj_sort.class_map(s.hist_table, p_conditions);
        IF NOT m.readable THEN
            RETURN NULL;
        END IF;
        RETURN tj_sort.figures_by_class(p_sql, format(
            'SELECT m.i, CASE WHEN sum(d.events) > 0 THEN %s END FROM %s m '
            'JOIN tj_type_year d ON d.cls_id = m.cls_id AND d.call_no = m.call_no '
            'WHERE %s GROUP BY m.i', v_figures, tj_sort.map_relation(m.stored), v_filter), cardinality(p_conditions),
            m.ids, m.type_codes, m.sub_codes, m.cls_ids, m.call_nos);
    ELSIF s.form = 'titles' THEN
        v_filter := tj_sort.restriction('y.year', 4, 'y.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN NULL;
        END IF;
        SELECT * INTO m FROM tj_sort.class_map(s.hist_table, p_conditions);
        IF NOT m.readable THEN
            RETURN NULL;
        END IF;
        -- Titles per class grouped first, then counted: a hash over the titles instead of the
        -- sort a count(DISTINCT ...) takes.
        RETURN tj_sort.figures_by_class(p_sql, format(
            'SELECT t.i, count(t.marc_rec_no) || '','' || sum(t.events) FROM ('
            'SELECT m.i, y.marc_rec_no, sum(y.events) AS events FROM %s m '
            'JOIN tj_title_year y ON y.cls_id = m.cls_id AND y.call_no = m.call_no '
            'WHERE y.hist_table = %L AND y.events > 0 AND %s GROUP BY 1, 2) t GROUP BY t.i',
            tj_sort.map_relation(m.stored), s.hist_table, v_filter), cardinality(p_conditions),
            m.ids, m.type_codes, m.sub_codes, m.cls_ids, m.call_nos);
    END IF;
    RETURN NULL;
END
$$;

-- The class figures in one pass over the history joined to the classes' pairs; NULL when the
-- statement or the conditions do not allow it. The planner cannot tell how many events match the
-- pairs of the class arrays and takes a few thousand for what may be millions: without nested
-- loops it does not look up each event's reader by index (half a year of a library's events:
-- 7.0 s with them, 3.7 s without).
CREATE OR REPLACE FUNCTION tj_sort.classes_in_one_pass(p_sql text, p_conditions text[]) RETURNS text[]
LANGUAGE plpgsql STABLE
SET enable_nestloop = off
AS $$
DECLARE
    s record;
    p record;
    m record;
BEGIN
    SELECT * INTO s FROM tj_sort.parse_statement(p_sql);
    IF s.form IS NULL THEN
        RETURN NULL;
    END IF;
    SELECT * INTO m FROM tj_sort.class_map(s.hist_table, p_conditions);
    IF NOT m.readable THEN
        RETURN NULL;
    END IF;
    SELECT * INTO p FROM tj_sort.statement_parts(p_sql);
    RETURN tj_sort.figures_by_class(p_sql, format(
        'SELECT m.i, (%s)::text FROM %s, %s m WHERE %s '
        'AND m.cls_id = %5$s.cls_id AND m.call_no = %5$s.call_no GROUP BY m.i',
        p.figures, p.source, tj_sort.map_relation(m.stored), p.restriction, s.hist_table), cardinality(p_conditions),
        m.ids, m.type_codes, m.sub_codes, m.cls_ids, m.call_nos);
END
$$;

-- The statement's one row from the summaries; answered is false when they cannot give it.
CREATE OR REPLACE FUNCTION tj_sort.total_from_summaries(p_sql text, OUT answered boolean, OUT figures text)
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    s        record;
    v_filter text;
    v_figures text;
BEGIN
    answered := false;
    SELECT * INTO s FROM tj_sort.parse_statement(p_sql);
    IF s.form = 'readers' THEN
        v_filter := tj_sort.restriction('t.day', 10, 't.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN;
        END IF;
        SELECT string_agg(format('sum(CASE WHEN t.redr_type_code = %L THEN t.events ELSE 0 END)', c),
                          ' || '','' || ' ORDER BY o)
          INTO v_figures FROM unnest(s.codes) WITH ORDINALITY AS u(c, o);
        EXECUTE format('SELECT CASE WHEN sum(t.events) > 0 THEN %s END FROM tj_total_day t WHERE %s',
                       v_figures, v_filter) INTO figures;
    ELSIF s.form = 'titles' THEN
        v_filter := tj_sort.restriction('y.year', 4, 'y.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN;
        END IF;
        EXECUTE format('SELECT count(DISTINCT y.marc_rec_no) || '','' || coalesce(sum(y.events), 0) '
                       'FROM tj_title_year y WHERE y.hist_table = %L AND y.events > 0 AND %s',
                       s.hist_table, v_filter) INTO figures;
    ELSE
        RETURN;
    END IF;
    answered := true;
END
$$;

-- result[i] := the first row's first column of strsql || condition[i], for i = 1..arraysize.
CREATE OR REPLACE PROCEDURE tj_sort.getcommonsortdata(
    strsql text, arraysize integer, condition text[], INOUT result text[] DEFAULT NULL)
LANGUAGE plpgsql
SET work_mem = '64MB'
AS $$
DECLARE
    v_n     integer := greatest(least(coalesce(arraysize, cardinality(condition)),
                                      coalesce(cardinality(condition), 0)), 0);
    v_sql   text := tj_sort.clean_sql(strsql);
    v_empty text := tj_sort.empty_figures(strsql);
    v_val   text;
BEGIN
    IF v_n > 0 THEN
        result := tj_sort.classes_from_summaries(v_sql, condition[1:v_n]);
        IF result IS NOT NULL THEN
            PERFORM set_config('tj_sort.last_way', 'summaries', false);
            RETURN;
        END IF;
        result := tj_sort.classes_in_one_pass(v_sql, condition[1:v_n]);
        IF result IS NOT NULL THEN
            PERFORM set_config('tj_sort.last_way', 'one pass', false);
            RETURN;
        END IF;
    END IF;
    PERFORM set_config('tj_sort.last_way', 'class by class', false);
    result := '{}';
    FOR i IN 1 .. v_n LOOP
        EXECUTE format('SELECT q.c1::text FROM (%s %s) AS q(c1) LIMIT 1',
                       v_sql, coalesce(condition[i], ''))
           INTO v_val;
        result := result || coalesce(v_val, v_empty);
    END LOOP;
END
$$;

-- result := the first column of the statement's rows (at most 1000), arraysize := their number.
-- A classification statement's one row comes from the summaries when they can give it.
CREATE OR REPLACE PROCEDURE tj_sort.getbulkdata(
    strsql text, INOUT arraysize integer DEFAULT NULL, INOUT result text[] DEFAULT NULL)
LANGUAGE plpgsql
SET work_mem = '64MB'
AS $$
DECLARE
    v_total record;
BEGIN
    SELECT * INTO v_total FROM tj_sort.total_from_summaries(tj_sort.clean_sql(strsql));
    IF v_total.answered THEN
        PERFORM set_config('tj_sort.last_way', 'summaries', false);
        result := ARRAY[coalesce(v_total.figures, tj_sort.empty_figures(strsql))];
    ELSE
        PERFORM set_config('tj_sort.last_way', 'statement', false);
        EXECUTE format('SELECT array(SELECT coalesce(q.c1::text, $1) '
                       '               FROM (%s) AS q(c1) LIMIT 1000)',
                       tj_sort.clean_sql(strsql))
           INTO result USING tj_sort.empty_figures(strsql);
    END IF;
    arraysize := cardinality(result);
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Rankings (the windows of the most read titles and of the reading rates)
--
-- GetGroupData takes the ranking statement of the windows,
--   SELECT X.marc_rec_no, SUM(distinct tmp_item.total_count), COUNT(X.prop_no),
--          ROUND(COUNT(X.prop_no)/SUM(distinct tmp_item.total_count),2)
--     FROM X, (<copies per title and call number>) TMP_ITEM WHERE <pair and restrictions>,
-- and per class a condition " AND (<class>) GROUP BY X.marc_rec_no [HAVING ...] ORDER BY ...".
-- It leaves the question in the transaction (transaction-local settings), and tj_tmp_rate, a
-- view, answers it when the caller reads it inside that transaction: per class the ranked rows
-- (sub_stat_code, row_num 1..n, marc_rec_no, itemcount, lendcount, lendrate).  Nothing is
-- written, so desks ranking at the same time never see each other's rows, and a read-only
-- standby ranks as well as the primary.  Read outside the transaction of the call, it is empty.
--
-- The statement the windows send is answered without running it once per class: readings per
-- title and call number of the classes' pairs come from tj_title_year for whole years and from
-- one pass over the events otherwise, copies from the items, ranked per class.  Titles with
-- the same figure rank by record number.  Any other statement runs class by class as it
-- stands, numbered in the order it returns.  tj_sort.last_way tells which way answered.

-- The tokens of a statement: literals as ?, names folded to lower case, joined by blanks.
CREATE OR REPLACE FUNCTION tj_sort.statement_tokens(p_sql text, OUT shape text, OUT literals text[])
LANGUAGE sql IMMUTABLE
AS $$
    SELECT string_agg(CASE WHEN t ~ '^''.*''$' AND length(t) > 1 THEN '?'
                           WHEN t ~ '^[A-Za-z_]' THEN lower(t)
                           ELSE t END, ' ' ORDER BY ord),
           coalesce(array_agg(replace(substr(t, 2, length(t) - 2), '''''', '''') ORDER BY ord)
                        FILTER (WHERE t ~ '^''.*''$' AND length(t) > 1), '{}')
      FROM regexp_matches(p_sql, '(''(?:[^'']|'''')*''|[A-Za-z_][A-Za-z0-9_$]*(?:\.[A-Za-z_][A-Za-z0-9_$]*)*'
                                 || '|[0-9]+|\|\||>=|<=|<>|!=|\S)', 'g') WITH ORDINALITY AS x(m, ord),
           LATERAL (SELECT x.m[1] AS t) tok
$$;

-- What a ranking statement asks: the history X, the copies' restrictions (document type,
-- language, the items' location) and the events' (rooms, periods as substr(date_time, 1, n)
-- compared with a literal).  hist_table is NULL for any other statement.
CREATE OR REPLACE FUNCTION tj_sort.parse_ranking(
    p_sql text,
    OUT hist_table text, OUT doc_type text, OUT lang text, OUT item_location text, OUT locations text[],
    OUT period_len integer[], OUT period_op text[], OUT period_val text[])
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    t     record;
    v_m   text[];
    v_at  integer := 1;
    v_p   text[];
BEGIN
    SELECT * INTO t FROM tj_sort.statement_tokens(p_sql);
    v_m := regexp_match(t.shape,
        '^select (redr_book_stat_hist|book_use_stat_hist)\.marc_rec_no , sum \( distinct tmp_item\.total_count \) , '
        || 'count \( \1\.prop_no \) , round \( count \( \1\.prop_no \) / sum \( distinct tmp_item\.total_count \) , 2 \) '
        || 'from \1 , \( select item\.marc_rec_no as marc_rec_no , item\.call_no as call_no , '
        || 'count \( item\.prop_no \) as total_count from marc , item where marc\.marc_rec_no = item\.marc_rec_no'
        || '( and marc\.doc_type_code = \?)?( and upper \( marc\.lang_code \) = \?)?( and item\.location = \?)?'
        || ' group by item\.marc_rec_no , item\.call_no order by item\.marc_rec_no , item\.call_no \) tmp_item '
        || 'where tmp_item\.marc_rec_no = \1\.marc_rec_no and tmp_item\.call_no = \1\.call_no'
        || '( and \1\.location_f = \?)?((?: and substr \( \1\.date_time , 1 , [0-9]+ \) (?:=|>=|<=) \?)*)$');
    IF v_m IS NULL THEN
        RETURN;
    END IF;
    IF v_m[2] IS NOT NULL THEN doc_type := t.literals[v_at]; v_at := v_at + 1; END IF;
    IF v_m[3] IS NOT NULL THEN lang := t.literals[v_at]; v_at := v_at + 1; END IF;
    IF v_m[4] IS NOT NULL THEN item_location := t.literals[v_at]; v_at := v_at + 1; END IF;
    locations := '{}';
    IF v_m[5] IS NOT NULL THEN locations := ARRAY[t.literals[v_at]]; v_at := v_at + 1; END IF;
    period_len := '{}'; period_op := '{}'; period_val := '{}';
    FOR v_p IN SELECT regexp_match(p[1], ' ([0-9]+) \) (=|>=|<=) \?$')
                 FROM regexp_matches(coalesce(v_m[6], ''), '( and [^?]*\?)', 'g') AS p LOOP
        period_len := period_len || v_p[1]::integer;
        period_op := period_op || v_p[2];
        period_val := period_val || t.literals[v_at];
        v_at := v_at + 1;
    END LOOP;
    IF v_at - 1 = cardinality(t.literals) THEN
        hist_table := v_m[1];
    END IF;
END
$$;

-- The class conditions of a ranking without their common tail " GROUP BY X.marc_rec_no
-- [HAVING ratio op n [AND ratio op n]] ORDER BY readings|ratio DESC", and what the tail asks:
-- by_rate, the ordering by ratio, having_condition, the HAVING condition on the columns readings and
-- copies, and having_floor, the least ratio it lets through when it sets one (a title needs at
-- least that many readings, having at least one copy).  classes is NULL when the tails differ or
-- are not of that form.
DROP FUNCTION IF EXISTS tj_sort.parse_ranking_tail(text, text[]);
CREATE OR REPLACE FUNCTION tj_sort.parse_ranking_tail(
    p_table text, p_conditions text[], OUT classes text[], OUT by_rate boolean, OUT having_condition text,
    OUT having_floor numeric)
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    v_tail  text;
    v_first text;
    v_split text[];
    v_m     text[];
    v_ratio constant text := 'count\(' || p_table || '\.prop_no\)/sum\(distincttmp_item\.total_count\)';
    v_num   constant text := '([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+))';
BEGIN
    classes := '{}';
    FOR k IN 1 .. coalesce(cardinality(p_conditions), 0) LOOP
        v_split := regexp_match(p_conditions[k], '^(.*)\s+group\s+by\s+(' || p_table || '\.marc_rec_no\s.*)$', 'i');
        IF v_split IS NULL OR NOT tj_sort.is_one_group(v_split[1]) THEN
            classes := NULL;
            RETURN;
        END IF;
        v_tail := lower(regexp_replace(v_split[2], '\s+', '', 'g'));
        IF v_first IS NULL THEN
            v_first := v_tail;
        ELSIF v_tail <> v_first THEN
            classes := NULL;
            RETURN;
        END IF;
        classes := classes || v_split[1];
    END LOOP;
    v_m := regexp_match(coalesce(v_first, ''),
        '^' || p_table || '\.marc_rec_no(?:having' || v_ratio || '(>=|<=|>|<|=)' || v_num
        || '(?:and' || v_ratio || '(>=|<=|>|<|=)' || v_num || ')?)?orderby(count\(' || p_table
        || '\.prop_no\)(?:/sum\(distincttmp_item\.total_count\))?)desc$');
    IF v_m IS NULL THEN
        classes := NULL;
        RETURN;
    END IF;
    by_rate := v_m[5] LIKE '%/%';
    having_condition := concat_ws(' AND ',
                        CASE WHEN v_m[1] IS NOT NULL THEN format('t.readings / t.copies %s %s', v_m[1], v_m[2]) END,
                        CASE WHEN v_m[3] IS NOT NULL THEN format('t.readings / t.copies %s %s', v_m[3], v_m[4]) END);
    having_floor := greatest(CASE WHEN v_m[1] IN ('>', '>=', '=') THEN v_m[2]::numeric END,
                             CASE WHEN v_m[3] IN ('>', '>=', '=') THEN v_m[4]::numeric END);
END
$$;

-- The restrictions of a statement on the events themselves: those of tj_sort.restriction on
-- the whole date_time, and where the database orders text byte by byte (collation C) the
-- bounds they imply on date_time itself, so that the index on it finds a month or a range.
CREATE OR REPLACE FUNCTION tj_sort.event_restriction(
    p_period_col text, p_location_col text, p_len integer[], p_op text[], p_val text[], p_locations text[])
RETURNS text
LANGUAGE sql STABLE
AS $$
    SELECT concat_ws(' AND ',
        tj_sort.restriction(p_period_col, 2147483647, p_location_col, p_len, p_op, p_val, p_locations),
        CASE WHEN current_setting('lc_collate') IN ('C', 'POSIX') THEN
            (SELECT string_agg(CASE
                WHEN u.op = '=' THEN format('%s LIKE %L', p_period_col,
                     replace(replace(replace(u.v, '\', '\\'), '%', '\%'), '_', '\_') || '%')
                WHEN u.op = '>=' THEN format('%s >= %L', p_period_col, u.v)
                WHEN ascii(right(u.v, 1)) BETWEEN 1 AND 55294 OR ascii(right(u.v, 1)) BETWEEN 57344 AND 1114110
                THEN format('%s < %L', p_period_col, left(u.v, -1) || chr(ascii(right(u.v, 1)) + 1))
                END, ' AND ')
               FROM unnest(p_len, p_op, p_val) AS u(n, op, v)
              WHERE char_length(u.v) = u.n AND u.v <> '')
        END)
$$;

-- Whether every item's marc_rec_no names an existing record (the items' validated key on it).
CREATE OR REPLACE FUNCTION tj_sort.items_keep_their_titles() RETURNS boolean
LANGUAGE sql STABLE
AS $$
    SELECT EXISTS (SELECT 1 FROM pg_constraint c
                    WHERE c.conrelid = 'item'::regclass AND c.contype = 'f' AND c.convalidated
                      AND c.confrelid = 'marc'::regclass
                      AND c.conkey = ARRAY[(SELECT attnum FROM pg_attribute
                                             WHERE attrelid = 'item'::regclass AND attname = 'marc_rec_no')])
$$;

-- The query that ranks a recognised ranking statement, to be run with the class codes as $1,
-- the class map's arrays as $2 .. $6 (tj_sort.map_relation) and the ranks kept per class as $7
-- (all when NULL); NULL when the statement or the conditions are not of the windows' form.  Its
-- rows: class code, rank, title, copies, readings, rate and the class's place in the map.
-- For one year in one room or in all rooms, walk_query is the same ranking of the titles given
-- as $8 only, and walk_scope the rows of tj_title_total whose events bound those of every
-- title in every class (see tj_sort.group_rows).
DROP FUNCTION IF EXISTS tj_sort.ranking_query(text, text[]);
CREATE OR REPLACE FUNCTION tj_sort.ranking_query(
    p_sql text, p_conditions text[],
    OUT query text, OUT ids integer[], OUT type_codes text[], OUT sub_codes text[],
    OUT cls_ids text[], OUT call_nos text[], OUT by_rate boolean, OUT having_floor numeric,
    OUT walk_query text, OUT walk_scope text)
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    s        record;
    e        record;
    m        record;
    v_year   text;
    v_source text;
    v_copies text;
    v_rank   text;
    v_marc   boolean;
    v_map    text;
    v_count  constant text := 'SELECT item.marc_rec_no, item.call_no, count(*) AS total_count FROM';
BEGIN
    SELECT * INTO s FROM tj_sort.parse_ranking(p_sql);
    IF s.hist_table IS NULL THEN
        RETURN;
    END IF;
    SELECT * INTO e FROM tj_sort.parse_ranking_tail(s.hist_table, p_conditions);
    IF e.classes IS NULL THEN
        RETURN;
    END IF;
    SELECT * INTO m FROM tj_sort.class_map(s.hist_table, e.classes);
    IF NOT m.readable THEN
        RETURN;
    END IF;
    -- The classes of one stored template named in the query itself: the planner then knows how
    -- many pairs they hold (through parameters it guesses a few thousand and reads the year
    -- summary pair by pair).
    IF m.stored AND m.ids = ARRAY(SELECT generate_series(1, cardinality(m.ids)))
       AND (SELECT count(DISTINCT t) = 1 FROM unnest(m.type_codes) t)
       AND (SELECT count(DISTINCT c) = cardinality(m.sub_codes) FROM unnest(m.sub_codes) c) THEN
        v_map := format('(SELECT array_position(%1$L::text[], m.sub_stat_code) AS i, m.cls_id, m.call_no '
                        'FROM tj_class_member m WHERE m.stat_type_code = %2$L AND m.sub_stat_code = ANY (%1$L::text[]))',
                        m.sub_codes, m.type_codes[1]);
    ELSE
        v_map := tj_sort.map_relation(m.stored);
    END IF;
    -- Readings per class, title and call number: from the year summary for whole years.
    v_year := tj_sort.restriction('y.year', 4, 'y.location_f', s.period_len, s.period_op, s.period_val,
                                  s.locations);
    IF v_year IS NOT NULL THEN
        v_source := format('SELECT m.i, y.marc_rec_no, y.call_no, sum(y.events) AS readings '
                           'FROM tj_title_year y JOIN %s m ON m.cls_id = y.cls_id AND m.call_no = y.call_no '
                           'WHERE y.hist_table = %L AND y.events > 0 AND %s',
                           v_map, s.hist_table, v_year);
    ELSE
        v_source := format('SELECT m.i, %1$s.marc_rec_no, %1$s.call_no, count(%1$s.prop_no) AS readings '
                           'FROM %1$s JOIN %2$s m ON m.cls_id = %1$s.cls_id AND m.call_no = %1$s.call_no '
                           'WHERE %3$s',
                           s.hist_table, tj_sort.map_relation(m.stored),
                           tj_sort.event_restriction(s.hist_table || '.date_time', s.hist_table || '.location_f',
                                                     s.period_len, s.period_op, s.period_val, s.locations));
    END IF;
    -- Copies per title and call number, as the statement counts them.  Without conditions on
    -- the record the join with marc only asks that the record exists, which the items' key
    -- on it already ensures: the items' index then gives the counts in order.
    v_marc := NOT (s.doc_type IS NULL AND s.lang IS NULL AND tj_sort.items_keep_their_titles());
    IF v_marc THEN
        v_copies := 'marc.marc_rec_no = item.marc_rec_no'
                    || CASE WHEN s.doc_type IS NOT NULL THEN format(' AND marc.doc_type_code = %L', s.doc_type) ELSE '' END
                    || CASE WHEN s.lang IS NOT NULL THEN format(' AND upper(marc.lang_code) = %L', s.lang) ELSE '' END;
    ELSE
        v_copies := 'item.marc_rec_no IS NOT NULL';
    END IF;
    v_copies := v_copies
                || CASE WHEN s.item_location IS NOT NULL THEN format(' AND item.location = %L', s.item_location) ELSE '' END;
    v_rank := format(
        'c AS (%s GROUP BY 1, 2), t AS ('
        'SELECT ev.i, ev.marc_rec_no, sum(DISTINCT c.total_count) AS copies, sum(ev.readings) AS readings '
        'FROM ev JOIN c ON c.marc_rec_no = ev.marc_rec_no AND c.call_no = ev.call_no GROUP BY 1, 2) '
        'SELECT r.* FROM (SELECT ($1::text[])[t.i] AS code, '
        '(row_number() OVER (PARTITION BY t.i ORDER BY %s DESC, t.marc_rec_no))::integer AS rn, '
        't.marc_rec_no, t.copies, t.readings, round(t.readings / t.copies, 2) AS rate, t.i FROM t%s) r '
        'WHERE r.rn <= coalesce($7::integer, 2147483647)',
        '%s', CASE WHEN e.by_rate THEN 't.readings / t.copies' ELSE 't.readings' END,
        CASE WHEN e.having_condition <> '' THEN ' WHERE ' || e.having_condition ELSE '' END);
    query := format('WITH ev AS (%s GROUP BY 1, 2, 3), ', v_source)
             || format(v_rank, format('%s item WHERE %s', v_count || CASE WHEN v_marc THEN ' marc,' ELSE '' END,
                                      v_copies));
    IF v_year IS NOT NULL AND s.period_len = '{4}' AND s.period_op = '{=}' AND cardinality(s.locations) <= 1 THEN
        walk_query := format('WITH ev AS (%s GROUP BY 1, 2, 3), ',
                             replace(v_source, 'FROM tj_title_year y ',
                                     'FROM unnest($8::text[]) AS walked(marc_rec_no) JOIN tj_title_year y '
                                     'ON y.marc_rec_no = walked.marc_rec_no '))
                      -- the items of the titles reached, through the index on the title
                      || format(v_rank, format('%s unnest($8::text[]) AS walked(marc_rec_no) JOIN item '
                                               'ON item.marc_rec_no = walked.marc_rec_no%s WHERE %s',
                                               v_count, CASE WHEN v_marc THEN ', marc' ELSE '' END, v_copies));
        walk_scope := format('hist_table = %L AND year = %L AND ', s.hist_table, s.period_val[1])
                      || CASE WHEN cardinality(s.locations) = 0 THEN 'all_rooms AND location_f IS NULL'
                              ELSE format('NOT all_rooms AND location_f = %L', s.locations[1]) END;
    END IF;
    ids := m.ids; type_codes := m.type_codes; sub_codes := m.sub_codes; cls_ids := m.cls_ids; call_nos := m.call_nos;
    by_rate := e.by_rate;
    having_floor := e.having_floor;
END
$$;

-- How many titles of a walk's scope have at least p_events events, counted up to p_limit + 1.
CREATE OR REPLACE FUNCTION tj_sort.titles_reaching(p_scope text, p_events numeric, p_limit integer)
RETURNS bigint
LANGUAGE plpgsql STABLE
AS $$
DECLARE
    v_count bigint;
BEGIN
    EXECUTE format('SELECT count(*) FROM (SELECT 1 FROM tj_title_total WHERE %s AND events >= %s LIMIT %s) t',
                   p_scope, p_events, p_limit + 1)
       INTO v_count;
    RETURN v_count;
END
$$;

-- The ranked rows of one stretch of a walk (tj_sort.ranking_query's walk_query): the titles
-- reached are few, so their rows are read through the indexes on the title, not by hashing
-- the whole summary and every item.
CREATE OR REPLACE FUNCTION tj_sort.walk_stretch(
    p_query text, p_codes text[], p_ids integer[], p_type_codes text[], p_sub_codes text[], p_cls_ids text[],
    p_call_nos text[], p_top integer, p_titles text[])
RETURNS TABLE (code text, rn integer, marc_rec_no text, copies numeric, readings numeric, rate numeric, i integer)
LANGUAGE plpgsql STABLE
SET enable_seqscan = off
SET enable_mergejoin = off
SET jit = off
AS $$
BEGIN
    RETURN QUERY EXECUTE p_query
      USING p_codes, p_ids, p_type_codes, p_sub_codes, p_cls_ids, p_call_nos, p_top, p_titles;
END
$$;

-- The rows of tj_tmp_rate: the ranking GetGroupData left in the transaction, the first
-- tj_sort.group_top ranks of each class when the caller set that in the transaction.
--
-- A year's ranking that keeps a top or asks a least ratio walks the titles in the order of
-- their events in the year (tj_title_total, in the room asked or in all rooms), which no class
-- can exceed for a title: a title's readings in a class count some of those events, and its
-- ratio is at most its readings.  A title's figures depend on its own rows only, so the walk
-- ranks stretch after stretch and keeps each class's top so far.  Once every class has its
-- top above the events of the next title (or that title falls below the least ratio), no title
-- further down can enter: the ranks are those of all titles.  The titles with at least as many
-- events as the lowest of those tops (or the least ratio) are as far as the walk can have to go;
-- when they are more than tj_sort.walk_limit, it ranks those titles at once (no other title
-- can enter a top), or all titles when they are more than half of them.
CREATE OR REPLACE FUNCTION tj_sort.group_rows()
RETURNS TABLE (sub_stat_code text, row_num integer, marc_rec_no text, itemcount numeric, lendcount numeric,
               lendrate numeric)
LANGUAGE plpgsql VOLATILE
SET work_mem = '64MB'
SET jit = off -- compiling the ranking's expressions costs more than it saves
AS $$
DECLARE
    v_sql     text := current_setting('tj_sort.group_sql', true);
    v_conds   text[] := nullif(current_setting('tj_sort.group_conditions', true), '')::text[];
    v_ids     text[] := nullif(current_setting('tj_sort.group_ids', true), '')::text[];
    v_top     integer;
    v_stretch integer := coalesce(nullif(current_setting('tj_sort.walk_start', true), '')::integer, 2000);
    v_limit   integer := coalesce(nullif(current_setting('tj_sort.walk_limit', true), '')::integer, 16000);
    v_floor   numeric;
    v_all     bigint;
    v_reached integer := 0;
    v_titles  text[];
    v_next    bigint;
    v_done    boolean;
    v_kept    jsonb := '[]';
    r         record;
BEGIN
    IF coalesce(v_sql, '') = '' OR coalesce(cardinality(v_conds), 0) = 0 THEN
        RETURN;
    END IF;
    IF current_setting('tj_sort.group_top', true) ~ '^\s*[0-9]{1,9}\s*$' THEN
        v_top := nullif(current_setting('tj_sort.group_top', true)::integer, 0);
    END IF;
    SELECT * INTO r FROM tj_sort.ranking_query(v_sql, v_conds);
    IF r.query IS NOT NULL THEN
        IF r.walk_query IS NOT NULL AND (v_top IS NOT NULL OR r.having_floor > 0) THEN
            v_floor := r.having_floor;
            WHILE v_floor IS NULL OR tj_sort.titles_reaching(r.walk_scope, v_floor, v_limit) <= v_limit LOOP
                EXECUTE format('SELECT array_agg(marc_rec_no) FROM (SELECT marc_rec_no FROM tj_title_total WHERE %s '
                               'ORDER BY events DESC, marc_rec_no OFFSET %s LIMIT %s) t',
                               r.walk_scope, v_reached, v_stretch)
                   INTO v_titles;
                v_reached := v_reached + v_stretch;
                EXECUTE format('SELECT events FROM tj_title_total WHERE %s ORDER BY events DESC, marc_rec_no '
                               'OFFSET %s LIMIT 1', r.walk_scope, v_reached)
                   INTO v_next;
                -- this stretch's top of each class beside the top so far
                SELECT coalesce(jsonb_agg(to_jsonb(kept) - 'place'), '[]') INTO v_kept
                  FROM (SELECT u.*, row_number() OVER (PARTITION BY u.i ORDER BY u.key DESC, u.marc_rec_no) AS place
                          FROM (SELECT w.*, CASE WHEN r.by_rate THEN w.readings / w.copies ELSE w.readings END AS key
                                  FROM tj_sort.walk_stretch(r.walk_query, v_ids, r.ids, r.type_codes, r.sub_codes,
                                                            r.cls_ids, r.call_nos, v_top, v_titles) w
                                UNION ALL
                                SELECT * FROM jsonb_to_recordset(v_kept) AS x(code text, rn integer, marc_rec_no text,
                                     copies numeric, readings numeric, rate numeric, i integer, key numeric)) u) kept
                 WHERE kept.place <= coalesce(v_top, 2147483647);
                SELECT v_next IS NULL -- every title reached
                       OR r.having_floor > v_next
                       OR v_top IS NOT NULL
                          AND (SELECT count(*) FILTER (WHERE c.above >= v_top) = cardinality(v_conds)
                                 FROM (SELECT count(*) FILTER (WHERE x.key > v_next) AS above
                                         FROM jsonb_to_recordset(v_kept) AS x(i integer, key numeric)
                                        GROUP BY x.i) c)
                  INTO v_done;
                IF v_done THEN
                    PERFORM set_config('tj_sort.last_way', 'walked', false);
                    RETURN QUERY
                    SELECT x.code, (row_number() OVER (PARTITION BY x.i ORDER BY x.key DESC, x.marc_rec_no))::integer,
                           x.marc_rec_no, x.copies, x.readings, x.rate
                      FROM jsonb_to_recordset(v_kept) AS x(code text, marc_rec_no text, copies numeric,
                                                           readings numeric, rate numeric, i integer, key numeric);
                    RETURN;
                END IF;
                -- how far the walk may still have to go
                SELECT CASE WHEN count(*) = cardinality(v_conds) THEN min(c.least_kept) END INTO v_floor
                  FROM (SELECT min(x.key) AS least_kept FROM jsonb_to_recordset(v_kept) AS x(i integer, key numeric)
                         GROUP BY x.i HAVING count(*) >= v_top) c;
                v_floor := greatest(v_floor, r.having_floor);
                EXIT WHEN v_floor IS NULL AND v_reached >= v_limit;
                v_stretch := least(v_stretch * 2, 8000);
            END LOOP;
            EXECUTE format('SELECT count(*) FROM tj_title_total WHERE %s', r.walk_scope) INTO v_all;
            IF v_floor IS NOT NULL AND tj_sort.titles_reaching(r.walk_scope, v_floor, (v_all / 2)::integer) <= v_all / 2 THEN
                EXECUTE format('SELECT array_agg(marc_rec_no) FROM tj_title_total WHERE %s AND events >= %s',
                               r.walk_scope, v_floor)
                   INTO v_titles;
                PERFORM set_config('tj_sort.last_way', 'bounded', false);
                RETURN QUERY EXECUTE format('SELECT code, rn, marc_rec_no, copies, readings, rate FROM (%s) q',
                                            r.walk_query)
                  USING v_ids, r.ids, r.type_codes, r.sub_codes, r.cls_ids, r.call_nos, v_top, v_titles;
                RETURN;
            END IF;
        END IF;
        PERFORM set_config('tj_sort.last_way', 'ranked', false);
        RETURN QUERY EXECUTE format('SELECT code, rn, marc_rec_no, copies, readings, rate FROM (%s) q', r.query)
          USING v_ids, r.ids, r.type_codes, r.sub_codes, r.cls_ids, r.call_nos, v_top;
        RETURN;
    END IF;
    PERFORM set_config('tj_sort.last_way', 'class by class', false);
    FOR i IN 1 .. cardinality(v_conds) LOOP
        -- the statement's own ORDER BY ranks the rows; numbering them as they come keeps it
        RETURN QUERY EXECUTE format(
            'SELECT * FROM (SELECT $1, (row_number() OVER ())::integer AS rn, q.c1::text, q.c2::numeric, '
            'q.c3::numeric, q.c4::numeric FROM (%s %s) AS q(c1, c2, c3, c4)) n WHERE n.rn <= coalesce($2, 2147483647)',
            v_sql, coalesce(v_conds[i], ''))
          USING v_ids[i], v_top;
    END LOOP;
END
$$;

-- The ranking's question for tj_tmp_rate, kept until the end of the caller's transaction.
CREATE OR REPLACE PROCEDURE tj_sort.getgroupdata(
    strsql text, arraysize integer, condition text[], groupid text[])
LANGUAGE plpgsql
AS $$
DECLARE
    v_n integer := greatest(least(coalesce(arraysize, cardinality(condition)),
                                  coalesce(cardinality(condition), 0)), 0);
BEGIN
    PERFORM set_config('tj_sort.group_sql', tj_sort.clean_sql(strsql), true);
    PERFORM set_config('tj_sort.group_conditions', coalesce(condition[1:v_n], '{}')::text, true);
    PERFORM set_config('tj_sort.group_ids', coalesce(groupid[1:v_n], '{}')::text, true);
END
$$;

-- tj_tmp_rate was a table in databases made before the rankings were answered this way.
DO $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_class WHERE oid = to_regclass('public.tj_tmp_rate') AND relkind = 'r') THEN
        DROP TABLE public.tj_tmp_rate;
    END IF;
END
$$;
CREATE OR REPLACE VIEW tj_tmp_rate AS SELECT * FROM tj_sort.group_rows();

-- ---------------------------------------------------------------------------------------------
-- Keeping the summaries exact
--
-- Statement triggers hand the changed rows over in a temporary table of the session and apply
-- them as one delta: +1 for each new row, -1 for each old one.  Whatever changes the summaries
-- (events, readers changing type, templates) first takes one transaction lock (advisory lock
-- 1917, 0), so that such transactions follow each other: the second one sees what the first
-- committed (the server's default isolation, read committed, takes a fresh snapshot for each
-- statement), and two loads writing overlapping summary rows in several statements cannot
-- deadlock.  A desk's event holds it for the rest of its short transaction.

CREATE OR REPLACE FUNCTION tj_sort.lock_summaries() RETURNS void
LANGUAGE sql
AS $$ SELECT pg_advisory_xact_lock(1917, 0) $$;

-- Adds to p_target the pairs of p_source (cls_id, call_no) that belong to the classes of the
-- stored templates p_codes (all when NULL), by the classes' conditions.
CREATE OR REPLACE FUNCTION tj_sort.add_members(p_source text, p_codes text[],
                                               p_target text DEFAULT 'tj_class_member') RETURNS void
LANGUAGE plpgsql
AS $$
DECLARE
    r record;
BEGIN
    FOR r IN SELECT c.stat_type_code, cc.sub_stat_code, cc.condition
               FROM (SELECT DISTINCT stat_type_code FROM stat_cls_comp
                      WHERE p_codes IS NULL OR stat_type_code = ANY (p_codes)) c,
                    LATERAL tj_sort.class_conditions('redr_book_stat_hist', c.stat_type_code) cc
              ORDER BY 1, 2 LOOP
        EXECUTE format('INSERT INTO %s (stat_type_code, sub_stat_code, cls_id, call_no) '
                       'SELECT %L, %L, redr_book_stat_hist.cls_id, redr_book_stat_hist.call_no '
                       '  FROM %s AS redr_book_stat_hist '
                       ' WHERE redr_book_stat_hist.cls_id IS NOT NULL '
                       '   AND redr_book_stat_hist.call_no IS NOT NULL AND %s '
                       ' ORDER BY 3, 4 ON CONFLICT DO NOTHING',
                       p_target, r.stat_type_code, r.sub_stat_code, p_source, r.condition);
    END LOOP;
END
$$;

-- Applies pg_temp.tj_event_delta, the changed rows of history table p_table.
CREATE OR REPLACE FUNCTION tj_sort.apply_event_delta(p_table text) RETURNS void
LANGUAGE plpgsql
AS $$
DECLARE
    v_fresh integer;
BEGIN
    PERFORM tj_sort.lock_summaries();
    IF to_regclass('pg_temp.tj_fresh_key') IS NULL THEN
        CREATE TEMPORARY TABLE tj_fresh_key (cls_id text, call_no text);
    END IF;
    WITH fresh AS (
        INSERT INTO tj_class_key (cls_id, call_no)
        SELECT DISTINCT cls_id, call_no FROM pg_temp.tj_event_delta WHERE sign > 0 ORDER BY 1, 2
        ON CONFLICT DO NOTHING
        RETURNING cls_id, call_no)
    INSERT INTO pg_temp.tj_fresh_key SELECT * FROM fresh;
    GET DIAGNOSTICS v_fresh = ROW_COUNT;
    IF v_fresh > 0 THEN
        PERFORM tj_sort.add_members('pg_temp.tj_fresh_key', NULL);
        DELETE FROM pg_temp.tj_fresh_key;
    END IF;

    INSERT INTO tj_title_year AS y (hist_table, year, location_f, cls_id, call_no, marc_rec_no, events)
    SELECT p_table, substr(date_time, 1, 4), location_f, cls_id, call_no, marc_rec_no, sum(sign)
      FROM pg_temp.tj_event_delta
     GROUP BY 2, 3, 4, 5, 6 HAVING sum(sign) <> 0
     ORDER BY 2, 3, 4, 5, 6
    ON CONFLICT ON CONSTRAINT tj_title_year_uk DO UPDATE SET events = y.events + excluded.events;
    INSERT INTO tj_title_total AS t (hist_table, year, all_rooms, location_f, marc_rec_no, events)
    SELECT p_table, substr(d.date_time, 1, 4), a.all_rooms, CASE WHEN NOT a.all_rooms THEN d.location_f END,
           d.marc_rec_no, sum(d.sign)
      FROM pg_temp.tj_event_delta d, (VALUES (false), (true)) a(all_rooms)
     GROUP BY 2, 3, 4, 5 HAVING sum(d.sign) <> 0
     ORDER BY 2, 3, 4, 5
    ON CONFLICT ON CONSTRAINT tj_title_total_uk DO UPDATE SET events = t.events + excluded.events;

    IF p_table = 'redr_book_stat_hist' THEN
        INSERT INTO tj_total_day AS t (day, location_f, redr_type_code, events)
        SELECT substr(d.date_time, 1, 10), d.location_f, r.redr_type_code, sum(d.sign)
          FROM pg_temp.tj_event_delta d JOIN reader r ON r.cert_id = d.cert_id
         GROUP BY 1, 2, 3 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3
        ON CONFLICT ON CONSTRAINT tj_total_day_uk DO UPDATE SET events = t.events + excluded.events;
        INSERT INTO tj_type_year AS t (year, location_f, cls_id, call_no, redr_type_code, events)
        SELECT substr(d.date_time, 1, 4), d.location_f, d.cls_id, d.call_no, r.redr_type_code, sum(d.sign)
          FROM pg_temp.tj_event_delta d JOIN reader r ON r.cert_id = d.cert_id
         GROUP BY 1, 2, 3, 4, 5 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3, 4, 5
        ON CONFLICT ON CONSTRAINT tj_type_year_uk DO UPDATE SET events = t.events + excluded.events;
        INSERT INTO tj_class_day AS c (stat_type_code, sub_stat_code, day, location_f, redr_type_code, events)
        SELECT m.stat_type_code, m.sub_stat_code, substr(d.date_time, 1, 10), d.location_f, r.redr_type_code,
               sum(d.sign)
          FROM pg_temp.tj_event_delta d
          JOIN reader r ON r.cert_id = d.cert_id
          JOIN tj_class_member m ON m.cls_id = d.cls_id AND m.call_no = d.call_no
         GROUP BY 1, 2, 3, 4, 5 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3, 4, 5
        ON CONFLICT ON CONSTRAINT tj_class_day_uk DO UPDATE SET events = c.events + excluded.events;
    END IF;
END
$$;

-- Statement trigger of the two book histories.
CREATE OR REPLACE FUNCTION tj_sort.history_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    IF to_regclass('pg_temp.tj_event_delta') IS NULL THEN
        CREATE TEMPORARY TABLE tj_event_delta (
            sign integer, date_time text, location_f text, cert_id text,
            marc_rec_no text, call_no text, cls_id text);
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        INSERT INTO pg_temp.tj_event_delta
        SELECT -1, date_time, location_f, cert_id, marc_rec_no, call_no, cls_id FROM old_rows;
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') THEN
        INSERT INTO pg_temp.tj_event_delta
        SELECT 1, date_time, location_f, cert_id, marc_rec_no, call_no, cls_id FROM new_rows;
    END IF;
    PERFORM tj_sort.apply_event_delta(TG_TABLE_NAME::text);
    DELETE FROM pg_temp.tj_event_delta;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION tj_sort.history_truncated() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_title_year WHERE hist_table = TG_TABLE_NAME::text;
    DELETE FROM tj_title_total WHERE hist_table = TG_TABLE_NAME::text;
    IF TG_TABLE_NAME = 'redr_book_stat_hist' THEN
        DELETE FROM tj_total_day;
        DELETE FROM tj_type_year;
        DELETE FROM tj_class_day;
    END IF;
    RETURN NULL;
END
$$;

-- Statement trigger of reader: the events of readers that appear, disappear or change type
-- move between the reader types of the summaries.
CREATE OR REPLACE FUNCTION tj_sort.readers_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    IF to_regclass('pg_temp.tj_reader_delta') IS NULL THEN
        CREATE TEMPORARY TABLE tj_reader_delta (sign integer, cert_id text, redr_type_code text);
    END IF;
    IF TG_OP = 'INSERT' THEN
        INSERT INTO pg_temp.tj_reader_delta SELECT 1, cert_id, redr_type_code FROM new_rows;
    ELSIF TG_OP = 'DELETE' THEN
        INSERT INTO pg_temp.tj_reader_delta SELECT -1, cert_id, redr_type_code FROM old_rows;
    ELSE
        INSERT INTO pg_temp.tj_reader_delta
        SELECT -1, o.cert_id, o.redr_type_code
          FROM (SELECT cert_id, redr_type_code FROM old_rows
                EXCEPT ALL SELECT cert_id, redr_type_code FROM new_rows) o;
        INSERT INTO pg_temp.tj_reader_delta
        SELECT 1, n.cert_id, n.redr_type_code
          FROM (SELECT cert_id, redr_type_code FROM new_rows
                EXCEPT ALL SELECT cert_id, redr_type_code FROM old_rows) n;
    END IF;
    IF EXISTS (SELECT 1 FROM pg_temp.tj_reader_delta) THEN
        PERFORM tj_sort.lock_summaries();
        INSERT INTO tj_total_day AS t (day, location_f, redr_type_code, events)
        SELECT substr(h.date_time, 1, 10), h.location_f, d.redr_type_code, sum(d.sign)
          FROM pg_temp.tj_reader_delta d JOIN redr_book_stat_hist h ON h.cert_id = d.cert_id
         GROUP BY 1, 2, 3 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3
        ON CONFLICT ON CONSTRAINT tj_total_day_uk DO UPDATE SET events = t.events + excluded.events;
        INSERT INTO tj_type_year AS t (year, location_f, cls_id, call_no, redr_type_code, events)
        SELECT substr(h.date_time, 1, 4), h.location_f, h.cls_id, h.call_no, d.redr_type_code, sum(d.sign)
          FROM pg_temp.tj_reader_delta d JOIN redr_book_stat_hist h ON h.cert_id = d.cert_id
         GROUP BY 1, 2, 3, 4, 5 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3, 4, 5
        ON CONFLICT ON CONSTRAINT tj_type_year_uk DO UPDATE SET events = t.events + excluded.events;
        INSERT INTO tj_class_day AS c (stat_type_code, sub_stat_code, day, location_f, redr_type_code, events)
        SELECT m.stat_type_code, m.sub_stat_code, substr(h.date_time, 1, 10), h.location_f, d.redr_type_code,
               sum(d.sign)
          FROM pg_temp.tj_reader_delta d
          JOIN redr_book_stat_hist h ON h.cert_id = d.cert_id
          JOIN tj_class_member m ON m.cls_id = h.cls_id AND m.call_no = h.call_no
         GROUP BY 1, 2, 3, 4, 5 HAVING sum(d.sign) <> 0
         ORDER BY 1, 2, 3, 4, 5
        ON CONFLICT ON CONSTRAINT tj_class_day_uk DO UPDATE SET events = c.events + excluded.events;
        DELETE FROM pg_temp.tj_reader_delta;
    END IF;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION tj_sort.readers_truncated() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_total_day;
    DELETE FROM tj_type_year;
    DELETE FROM tj_class_day;
    RETURN NULL;
END
$$;

-- Rebuilds the classes of the stored templates p_codes (all when NULL) from the events.
CREATE OR REPLACE FUNCTION tj_sort.rebuild_templates(p_codes text[]) RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_class_member WHERE p_codes IS NULL OR stat_type_code = ANY (p_codes);
    DELETE FROM tj_class_day WHERE p_codes IS NULL OR stat_type_code = ANY (p_codes);
    PERFORM tj_sort.add_members('tj_class_key', p_codes);
    INSERT INTO tj_class_day (stat_type_code, sub_stat_code, day, location_f, redr_type_code, events)
    SELECT m.stat_type_code, m.sub_stat_code, substr(h.date_time, 1, 10), h.location_f, r.redr_type_code,
           count(*)
      FROM redr_book_stat_hist h
      JOIN reader r ON r.cert_id = h.cert_id
      JOIN tj_class_member m ON m.cls_id = h.cls_id AND m.call_no = h.call_no
     WHERE p_codes IS NULL OR m.stat_type_code = ANY (p_codes)
     GROUP BY 1, 2, 3, 4, 5;
END
$$;

-- Statement trigger of stat_cls_comp: the templates whose composition changed are rebuilt.
CREATE OR REPLACE FUNCTION tj_sort.templates_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
DECLARE
    v_codes text[];
BEGIN
    IF TG_OP = 'INSERT' THEN
        v_codes := ARRAY(SELECT DISTINCT stat_type_code FROM new_rows);
    ELSIF TG_OP = 'DELETE' THEN
        v_codes := ARRAY(SELECT DISTINCT stat_type_code FROM old_rows);
    ELSIF TG_OP = 'UPDATE' THEN
        v_codes := ARRAY(SELECT stat_type_code FROM new_rows UNION SELECT stat_type_code FROM old_rows);
    END IF;
    PERFORM tj_sort.rebuild_templates(v_codes); -- NULL (TRUNCATE): all
    RETURN NULL;
END
$$;

-- The summaries computed from the events, for rebuilding and checking.
CREATE OR REPLACE FUNCTION tj_sort.counted_title_year()
RETURNS TABLE (hist_table text, year text, location_f text, cls_id text, call_no text, marc_rec_no text,
               events bigint)
LANGUAGE sql STABLE
AS $$
    SELECT 'redr_book_stat_hist', substr(date_time, 1, 4), location_f, cls_id, call_no, marc_rec_no, count(*)
      FROM redr_book_stat_hist GROUP BY 2, 3, 4, 5, 6
    UNION ALL
    SELECT 'book_use_stat_hist', substr(date_time, 1, 4), location_f, cls_id, call_no, marc_rec_no, count(*)
      FROM book_use_stat_hist GROUP BY 2, 3, 4, 5, 6
$$;

CREATE OR REPLACE FUNCTION tj_sort.counted_title_total()
RETURNS TABLE (hist_table text, year text, all_rooms boolean, location_f text, marc_rec_no text, events bigint)
LANGUAGE sql STABLE
AS $$
    SELECT y.hist_table, y.year, a.all_rooms, CASE WHEN NOT a.all_rooms THEN y.location_f END, y.marc_rec_no,
           sum(y.events)::bigint
      FROM tj_sort.counted_title_year() y, (VALUES (false), (true)) a(all_rooms)
     GROUP BY 1, 2, 3, 4, 5
$$;

CREATE OR REPLACE FUNCTION tj_sort.counted_total_day()
RETURNS TABLE (day text, location_f text, redr_type_code text, events bigint)
LANGUAGE sql STABLE
AS $$
    SELECT substr(h.date_time, 1, 10), h.location_f, r.redr_type_code, count(*)
      FROM redr_book_stat_hist h JOIN reader r ON r.cert_id = h.cert_id
     GROUP BY 1, 2, 3
$$;

CREATE OR REPLACE FUNCTION tj_sort.counted_type_year()
RETURNS TABLE (year text, location_f text, cls_id text, call_no text, redr_type_code text, events bigint)
LANGUAGE sql STABLE
AS $$
    SELECT substr(h.date_time, 1, 4), h.location_f, h.cls_id, h.call_no, r.redr_type_code, count(*)
      FROM redr_book_stat_hist h JOIN reader r ON r.cert_id = h.cert_id
     GROUP BY 1, 2, 3, 4, 5
$$;

-- Fills the summaries anew from the history.
CREATE OR REPLACE PROCEDURE tj_sort.rebuild_summaries()
LANGUAGE plpgsql
SET work_mem = '256MB'
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_class_key;
    DELETE FROM tj_title_year;
    DELETE FROM tj_title_total;
    DELETE FROM tj_total_day;
    DELETE FROM tj_type_year;
    INSERT INTO tj_class_key (cls_id, call_no)
    SELECT cls_id, call_no FROM redr_book_stat_hist UNION SELECT cls_id, call_no FROM book_use_stat_hist;
    INSERT INTO tj_title_year SELECT * FROM tj_sort.counted_title_year();
    INSERT INTO tj_title_total SELECT * FROM tj_sort.counted_title_total();
    INSERT INTO tj_total_day SELECT * FROM tj_sort.counted_total_day();
    INSERT INTO tj_type_year SELECT * FROM tj_sort.counted_type_year();
    PERFORM tj_sort.rebuild_templates(NULL);
END
$$;

-- Every difference between the summaries and the events they summarise (none when exact).
CREATE OR REPLACE FUNCTION tj_sort.summary_differences()
RETURNS TABLE (summary text, difference text)
LANGUAGE plpgsql
SET work_mem = '256MB'
AS $$
BEGIN
    DROP TABLE IF EXISTS pg_temp.tj_member_check;
    CREATE TEMPORARY TABLE tj_member_check (stat_type_code text, sub_stat_code text, cls_id text, call_no text);
    PERFORM tj_sort.add_members('tj_class_key', NULL, 'pg_temp.tj_member_check');
    RETURN QUERY
    WITH counted AS (
        SELECT m.stat_type_code, m.sub_stat_code, substr(h.date_time, 1, 10), h.location_f, r.redr_type_code,
               count(*)
          FROM redr_book_stat_hist h
          JOIN reader r ON r.cert_id = h.cert_id
          JOIN pg_temp.tj_member_check m ON m.cls_id = h.cls_id AND m.call_no = h.call_no
         GROUP BY 1, 2, 3, 4, 5)
    SELECT 'tj_class_key', 'missing ' || k::text
      FROM (SELECT cls_id, call_no FROM redr_book_stat_hist UNION SELECT cls_id, call_no FROM book_use_stat_hist
            EXCEPT SELECT cls_id, call_no FROM tj_class_key) k
    UNION ALL
    SELECT 'tj_class_member', d::text
      FROM ((SELECT '+' AS side, * FROM (TABLE tj_class_member EXCEPT TABLE pg_temp.tj_member_check) a)
            UNION ALL
            (SELECT '-', * FROM (TABLE pg_temp.tj_member_check EXCEPT TABLE tj_class_member) b)) d
    UNION ALL
    SELECT 'tj_title_year', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_title_year WHERE events <> 0
                                         EXCEPT ALL SELECT * FROM tj_sort.counted_title_year()) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM tj_sort.counted_title_year()
                                 EXCEPT ALL SELECT * FROM tj_title_year WHERE events <> 0) b)) d
    UNION ALL
    SELECT 'tj_title_total', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_title_total WHERE events <> 0
                                         EXCEPT ALL SELECT * FROM tj_sort.counted_title_total()) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM tj_sort.counted_title_total()
                                 EXCEPT ALL SELECT * FROM tj_title_total WHERE events <> 0) b)) d
    UNION ALL
    SELECT 'tj_total_day', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_total_day WHERE events <> 0
                                         EXCEPT ALL SELECT * FROM tj_sort.counted_total_day()) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM tj_sort.counted_total_day()
                                 EXCEPT ALL SELECT * FROM tj_total_day WHERE events <> 0) b)) d
    UNION ALL
    SELECT 'tj_type_year', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_type_year WHERE events <> 0
                                         EXCEPT ALL SELECT * FROM tj_sort.counted_type_year()) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM tj_sort.counted_type_year()
                                 EXCEPT ALL SELECT * FROM tj_type_year WHERE events <> 0) b)) d
    UNION ALL
    SELECT 'tj_class_day', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_class_day WHERE events <> 0
                                         EXCEPT ALL SELECT * FROM counted) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM counted
                                 EXCEPT ALL SELECT * FROM tj_class_day WHERE events <> 0) b)) d;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Reader visit counts (the window of readers and visits by reader type, unit, grade and
-- department)
--
-- tj_visit_group keeps, per history (reader_stat_hist, redr_book_stat_hist), year or month,
-- room (and every room together) and the reader's current type, unit, grade and department,
-- how many distinct readers had events and how many events they had.  A reader counts in a
-- period once, whatever the number of events, so the triggers look at the reader's other
-- events in that period (the history's index on cert_id) to tell the first and the last.

-- The keys of the events of p_rows (sign, cert_id, date_time, location_f): a year and a month,
-- each in the event's room and in every room together.
CREATE OR REPLACE FUNCTION tj_sort.visit_keys(p_rows text)
RETURNS TABLE (sign integer, cert_id text, period_len integer, period text, all_rooms boolean, location_f text)
LANGUAGE plpgsql STABLE
AS $$
BEGIN
    RETURN QUERY EXECUTE format(
        'SELECT r.sign, r.cert_id, p.n, substr(r.date_time, 1, p.n), s.a, CASE WHEN s.a THEN NULL ELSE r.location_f END '
        'FROM %s r CROSS JOIN (VALUES (4), (7)) p(n) CROSS JOIN (VALUES (false), (true)) s(a)', p_rows);
END
$$;

-- Applies pg_temp.tj_visit_delta (sign, cert_id, date_time, location_f), the changed events of
-- history p_table, to tj_visit_group.
CREATE OR REPLACE FUNCTION tj_sort.apply_visit_delta(p_table text) RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    EXECUTE format(
        'INSERT INTO tj_visit_group AS g (hist_table, period_len, period, all_rooms, location_f, redr_type_code, '
        '                                 dept, code01, r_dep_id, readers, events) '
        'SELECT %1$L, k.period_len, k.period, k.all_rooms, k.location_f, r.redr_type_code, r.dept, r.code01, '
        '       r.r_dep_id, sum((k.after > 0)::integer - (k.after - k.delta > 0)::integer), sum(k.delta) '
        '  FROM (SELECT k.cert_id, k.period_len, k.period, k.all_rooms, k.location_f, k.delta, count(h.cert_id) AS after '
        '          FROM (SELECT cert_id, period_len, period, all_rooms, location_f, sum(sign) AS delta '
        '                  FROM tj_sort.visit_keys(''pg_temp.tj_visit_delta'') GROUP BY 1, 2, 3, 4, 5) k '
        '          LEFT JOIN %1$I h ON h.cert_id = k.cert_id AND substr(h.date_time, 1, k.period_len) = k.period '
        '                           AND (k.all_rooms OR h.location_f IS NOT DISTINCT FROM k.location_f) '
        '         GROUP BY 1, 2, 3, 4, 5, 6) k '
        '  JOIN reader r ON r.cert_id = k.cert_id '
        ' GROUP BY 2, 3, 4, 5, 6, 7, 8, 9 '
        'HAVING sum(k.delta) <> 0 OR sum((k.after > 0)::integer - (k.after - k.delta > 0)::integer) <> 0 '
        ' ORDER BY 2, 3, 4, 5, 6, 7, 8, 9 '
        'ON CONFLICT ON CONSTRAINT tj_visit_group_uk '
        'DO UPDATE SET readers = g.readers + excluded.readers, events = g.events + excluded.events', p_table);
END
$$;

-- Statement trigger of the two visit histories.
CREATE OR REPLACE FUNCTION tj_sort.visits_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    IF to_regclass('pg_temp.tj_visit_delta') IS NULL THEN
        CREATE TEMPORARY TABLE tj_visit_delta (sign integer, cert_id text, date_time text, location_f text);
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        INSERT INTO pg_temp.tj_visit_delta SELECT -1, cert_id, date_time, location_f FROM old_rows;
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') THEN
        INSERT INTO pg_temp.tj_visit_delta SELECT 1, cert_id, date_time, location_f FROM new_rows;
    END IF;
    PERFORM tj_sort.apply_visit_delta(TG_TABLE_NAME::text);
    DELETE FROM pg_temp.tj_visit_delta;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION tj_sort.visits_truncated() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_visit_group WHERE hist_table = TG_TABLE_NAME::text;
    RETURN NULL;
END
$$;

-- The visit groups counted from the events of both histories (rebuilding and checking).
CREATE OR REPLACE FUNCTION tj_sort.counted_visit_groups()
RETURNS TABLE (hist_table text, period_len integer, period text, all_rooms boolean, location_f text,
               redr_type_code text, dept text, code01 text, r_dep_id text, readers bigint, events bigint)
LANGUAGE sql STABLE
AS $$
    SELECT k.hist_table, k.period_len, k.period, k.all_rooms, k.location_f, r.redr_type_code, r.dept, r.code01,
           r.r_dep_id, count(*), sum(k.events)::bigint
      FROM (SELECT x.hist_table, x.cert_id, p.n AS period_len, substr(x.date_time, 1, p.n) AS period, s.a AS all_rooms,
                   CASE WHEN s.a THEN NULL ELSE x.location_f END AS location_f, count(*) AS events
              FROM (SELECT 'reader_stat_hist' AS hist_table, cert_id, date_time, location_f FROM reader_stat_hist
                    UNION ALL
                    SELECT 'redr_book_stat_hist', cert_id, date_time, location_f FROM redr_book_stat_hist) x
             CROSS JOIN (VALUES (4), (7)) p(n) CROSS JOIN (VALUES (false), (true)) s(a)
             GROUP BY 1, 2, 3, 4, 5, 6) k
      JOIN reader r ON r.cert_id = k.cert_id
     GROUP BY 1, 2, 3, 4, 5, 6, 7, 8, 9
$$;

-- Fills tj_visit_group anew from the events.
CREATE OR REPLACE PROCEDURE tj_sort.rebuild_visit_groups()
LANGUAGE plpgsql
SET work_mem = '256MB'
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_visit_group;
    INSERT INTO tj_visit_group SELECT * FROM tj_sort.counted_visit_groups();
END
$$;

-- Statement trigger of reader for the visit groups: readers that appear, disappear or change
-- type, unit, grade or department take their readers and events from one group to another.
CREATE OR REPLACE FUNCTION tj_sort.visit_readers_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    IF to_regclass('pg_temp.tj_visit_reader_delta') IS NULL THEN
        CREATE TEMPORARY TABLE tj_visit_reader_delta (
            sign integer, cert_id text, redr_type_code text, dept text, code01 text, r_dep_id text);
    END IF;
    IF TG_OP = 'INSERT' THEN
        INSERT INTO pg_temp.tj_visit_reader_delta SELECT 1, cert_id, redr_type_code, dept, code01, r_dep_id FROM new_rows;
    ELSIF TG_OP = 'DELETE' THEN
        INSERT INTO pg_temp.tj_visit_reader_delta SELECT -1, cert_id, redr_type_code, dept, code01, r_dep_id FROM old_rows;
    ELSE
        INSERT INTO pg_temp.tj_visit_reader_delta
        SELECT -1, o.* FROM (SELECT cert_id, redr_type_code, dept, code01, r_dep_id FROM old_rows
                             EXCEPT ALL SELECT cert_id, redr_type_code, dept, code01, r_dep_id FROM new_rows) o;
        INSERT INTO pg_temp.tj_visit_reader_delta
        SELECT 1, n.* FROM (SELECT cert_id, redr_type_code, dept, code01, r_dep_id FROM new_rows
                            EXCEPT ALL SELECT cert_id, redr_type_code, dept, code01, r_dep_id FROM old_rows) n;
    END IF;
    IF EXISTS (SELECT 1 FROM pg_temp.tj_visit_reader_delta) THEN
        PERFORM tj_sort.lock_summaries();
        INSERT INTO tj_visit_group AS g (hist_table, period_len, period, all_rooms, location_f, redr_type_code,
                                         dept, code01, r_dep_id, readers, events)
        SELECT k.hist_table, k.period_len, k.period, k.all_rooms, k.location_f, d.redr_type_code, d.dept, d.code01,
               d.r_dep_id, sum(d.sign), sum(d.sign * k.events)
          FROM pg_temp.tj_visit_reader_delta d
          JOIN (SELECT x.hist_table, x.cert_id, p.n AS period_len, substr(x.date_time, 1, p.n) AS period,
                       s.a AS all_rooms, CASE WHEN s.a THEN NULL ELSE x.location_f END AS location_f, count(*) AS events
                  FROM (SELECT 'reader_stat_hist' AS hist_table, h.cert_id, h.date_time, h.location_f
                          FROM reader_stat_hist h WHERE h.cert_id IN (SELECT cert_id FROM pg_temp.tj_visit_reader_delta)
                        UNION ALL
                        SELECT 'redr_book_stat_hist', h.cert_id, h.date_time, h.location_f
                          FROM redr_book_stat_hist h WHERE h.cert_id IN (SELECT cert_id FROM pg_temp.tj_visit_reader_delta)) x
                 CROSS JOIN (VALUES (4), (7)) p(n) CROSS JOIN (VALUES (false), (true)) s(a)
                 GROUP BY 1, 2, 3, 4, 5, 6) k ON k.cert_id = d.cert_id
         GROUP BY 1, 2, 3, 4, 5, 6, 7, 8, 9
        HAVING sum(d.sign) <> 0 OR sum(d.sign * k.events) <> 0
         ORDER BY 1, 2, 3, 4, 5, 6, 7, 8, 9
        ON CONFLICT ON CONSTRAINT tj_visit_group_uk
        DO UPDATE SET readers = g.readers + excluded.readers, events = g.events + excluded.events;
        DELETE FROM pg_temp.tj_visit_reader_delta;
    END IF;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION tj_sort.visit_readers_truncated() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM tj_sort.lock_summaries();
    DELETE FROM tj_visit_group;
    RETURN NULL;
END
$$;

-- Every difference between tj_visit_group and the events (none when exact).
CREATE OR REPLACE FUNCTION tj_sort.visit_group_differences()
RETURNS TABLE (summary text, difference text)
LANGUAGE sql STABLE
SET work_mem = '256MB'
AS $$
    SELECT 'tj_visit_group', d::text
      FROM ((SELECT '+' AS side, * FROM (SELECT * FROM tj_visit_group WHERE readers <> 0 OR events <> 0
                                         EXCEPT ALL SELECT * FROM tj_sort.counted_visit_groups()) a)
            UNION ALL
            (SELECT '-', * FROM (SELECT * FROM tj_sort.counted_visit_groups()
                                 EXCEPT ALL SELECT * FROM tj_visit_group WHERE readers <> 0 OR events <> 0) b)) d
$$;

-- The figures of the reader visit counts: for history p_table (reader_stat_hist or
-- redr_book_stat_hist) the events of readers that exist whose date_time begins with p_period (a
-- year "yyyy" or a month "yyyy-mm"), or else whose first ten characters lie between p_begin and
-- p_end, in room p_location (every room when NULL).  Rows (grouped_by, key, readers, events):
-- 'type' per reader type name, 'unit' per reader.dept, 'grade' per reader.code01, 'department'
-- per department name, each without the readers that lack it, and 'all' the overall figures.
-- Years and months come from tj_visit_group, other periods from the events in one pass.
CREATE OR REPLACE FUNCTION tj_sort.visit_counts(
    p_table text, p_period text, p_begin text, p_end text, p_location text)
RETURNS TABLE (grouped_by text, key text, readers bigint, events bigint)
LANGUAGE plpgsql STABLE
SET work_mem = '64MB'
AS $$
BEGIN
    IF p_table NOT IN ('reader_stat_hist', 'redr_book_stat_hist') THEN
        RAISE EXCEPTION 'visit counts of % are not kept', p_table;
    END IF;
    IF char_length(p_period) IN (4, 7) THEN
        RETURN QUERY
        WITH g AS (SELECT * FROM tj_visit_group v
                    WHERE v.hist_table = p_table AND v.period_len = char_length(p_period) AND v.period = p_period
                      AND v.all_rooms = (p_location IS NULL)
                      AND (p_location IS NULL OR v.location_f = p_location))
        SELECT 'type', t.redr_type_name, sum(g.readers)::bigint, sum(g.events)::bigint
          FROM g JOIN reader_type t ON t.redr_type_code = g.redr_type_code GROUP BY t.redr_type_name
        HAVING sum(g.events) > 0
        UNION ALL
        SELECT 'unit', g.dept, sum(g.readers)::bigint, sum(g.events)::bigint FROM g WHERE g.dept IS NOT NULL
         GROUP BY g.dept HAVING sum(g.events) > 0
        UNION ALL
        SELECT 'grade', g.code01, sum(g.readers)::bigint, sum(g.events)::bigint FROM g WHERE g.code01 IS NOT NULL
         GROUP BY g.code01 HAVING sum(g.events) > 0
        UNION ALL
        SELECT 'department', d.dep_name, sum(g.readers)::bigint, sum(g.events)::bigint
          FROM g JOIN department d ON d.dep_id = g.r_dep_id GROUP BY d.dep_name HAVING sum(g.events) > 0
        UNION ALL
        SELECT 'all', NULL, coalesce(sum(g.readers), 0)::bigint, coalesce(sum(g.events), 0)::bigint FROM g;
        RETURN;
    END IF;
    RETURN QUERY EXECUTE format(
        'SELECT CASE WHEN GROUPING(t.redr_type_name) = 0 THEN ''type'' WHEN GROUPING(r.dept) = 0 THEN ''unit'' '
        '            WHEN GROUPING(r.code01) = 0 THEN ''grade'' WHEN GROUPING(d.dep_name) = 0 THEN ''department'' '
        '            ELSE ''all'' END, '
        '       coalesce(t.redr_type_name, r.dept, r.code01, d.dep_name), count(DISTINCT %1$I.cert_id), '
        '       count(%1$I.cert_id) '
        '  FROM reader r JOIN %1$I ON r.cert_id = %1$I.cert_id '
        '  LEFT JOIN reader_type t ON t.redr_type_code = r.redr_type_code '
        '  LEFT JOIN department d ON d.dep_id = r.r_dep_id '
        ' WHERE %2$s '
        ' GROUP BY GROUPING SETS ((t.redr_type_code IS NULL, t.redr_type_name), (r.dept), (r.code01), '
        '                         (d.dep_id IS NULL, d.dep_name), ()) '
        'HAVING GROUPING(t.redr_type_name) = 0 AND bool_and(t.redr_type_code IS NOT NULL) '
        '    OR GROUPING(r.dept) = 0 AND r.dept IS NOT NULL OR GROUPING(r.code01) = 0 AND r.code01 IS NOT NULL '
        '    OR GROUPING(d.dep_name) = 0 AND bool_and(d.dep_id IS NOT NULL) '
        '    OR GROUPING(t.redr_type_name, r.dept, r.code01, d.dep_name) = 15',
        p_table,
        tj_sort.event_restriction(p_table || '.date_time', p_table || '.location_f',
                                  ARRAY[10, 10], ARRAY['>=', '<='], ARRAY[p_begin, p_end],
                                  CASE WHEN p_location IS NULL THEN '{}'::text[] ELSE ARRAY[p_location] END));
END
$$;

-- The triggers.  A history table, reader or stat_cls_comp changed by any statement keeps the
-- summaries in step, whether a desk records one event or a load writes millions.
CREATE OR REPLACE TRIGGER tj_redr_book_hist_inserted AFTER INSERT ON redr_book_stat_hist
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_updated AFTER UPDATE ON redr_book_stat_hist
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_deleted AFTER DELETE ON redr_book_stat_hist
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_truncated AFTER TRUNCATE ON redr_book_stat_hist
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_truncated();
CREATE OR REPLACE TRIGGER tj_book_use_hist_inserted AFTER INSERT ON book_use_stat_hist
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_book_use_hist_updated AFTER UPDATE ON book_use_stat_hist
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_book_use_hist_deleted AFTER DELETE ON book_use_stat_hist
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_changed();
CREATE OR REPLACE TRIGGER tj_book_use_hist_truncated AFTER TRUNCATE ON book_use_stat_hist
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.history_truncated();
CREATE OR REPLACE TRIGGER tj_readers_inserted AFTER INSERT ON reader
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_updated AFTER UPDATE ON reader
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_deleted AFTER DELETE ON reader
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_truncated AFTER TRUNCATE ON reader
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.readers_truncated();
CREATE OR REPLACE TRIGGER tj_templates_inserted AFTER INSERT ON stat_cls_comp
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.templates_changed();
CREATE OR REPLACE TRIGGER tj_templates_updated AFTER UPDATE ON stat_cls_comp
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.templates_changed();
CREATE OR REPLACE TRIGGER tj_templates_deleted AFTER DELETE ON stat_cls_comp
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.templates_changed();
CREATE OR REPLACE TRIGGER tj_templates_truncated AFTER TRUNCATE ON stat_cls_comp
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.templates_changed();
CREATE OR REPLACE TRIGGER tj_reader_hist_visits_inserted AFTER INSERT ON reader_stat_hist
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_reader_hist_visits_updated AFTER UPDATE ON reader_stat_hist
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_reader_hist_visits_deleted AFTER DELETE ON reader_stat_hist
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_reader_hist_visits_truncated AFTER TRUNCATE ON reader_stat_hist
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_truncated();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_visits_inserted AFTER INSERT ON redr_book_stat_hist
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_visits_updated AFTER UPDATE ON redr_book_stat_hist
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_visits_deleted AFTER DELETE ON redr_book_stat_hist
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_changed();
CREATE OR REPLACE TRIGGER tj_redr_book_hist_visits_truncated AFTER TRUNCATE ON redr_book_stat_hist
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visits_truncated();
CREATE OR REPLACE TRIGGER tj_readers_visits_inserted AFTER INSERT ON reader
    REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visit_readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_visits_updated AFTER UPDATE ON reader
    REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visit_readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_visits_deleted AFTER DELETE ON reader
    REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visit_readers_changed();
CREATE OR REPLACE TRIGGER tj_readers_visits_truncated AFTER TRUNCATE ON reader
    FOR EACH STATEMENT EXECUTE FUNCTION tj_sort.visit_readers_truncated();

-- A database that has history but no summaries yet, or not all of them (the procedures loaded
-- onto an existing library), gets them now.
DO $$
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM tj_class_key)
        AND (EXISTS (SELECT 1 FROM redr_book_stat_hist) OR EXISTS (SELECT 1 FROM book_use_stat_hist)))
       OR (NOT EXISTS (SELECT 1 FROM tj_type_year) AND EXISTS (SELECT 1 FROM tj_total_day)) THEN
        CALL tj_sort.rebuild_summaries();
    ELSIF NOT EXISTS (SELECT 1 FROM tj_title_total) AND EXISTS (SELECT 1 FROM tj_title_year) THEN
        PERFORM tj_sort.lock_summaries();
        INSERT INTO tj_title_total
        SELECT y.hist_table, y.year, a.all_rooms, CASE WHEN NOT a.all_rooms THEN y.location_f END, y.marc_rec_no,
               sum(y.events)
          FROM tj_title_year y, (VALUES (false), (true)) a(all_rooms)
         GROUP BY 1, 2, 3, 4, 5;
    END IF;
END
$$;

-- Likewise the visit groups.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM tj_visit_group)
       AND (EXISTS (SELECT 1 FROM reader_stat_hist) OR EXISTS (SELECT 1 FROM redr_book_stat_hist)) THEN
        CALL tj_sort.rebuild_visit_groups();
    END IF;
END
$$;
