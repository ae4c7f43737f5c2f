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

-- Fills pg_temp.tj_class_list (i, stat_type_code, sub_stat_code, matched): which stored-template
-- class each condition is. true when every condition is one.
CREATE OR REPLACE FUNCTION tj_sort.list_stored_classes(p_table text, p_conditions text[]) RETURNS boolean
LANGUAGE plpgsql
AS $$
BEGIN
    IF to_regclass('pg_temp.tj_class_list') IS NULL THEN
        CREATE TEMPORARY TABLE tj_class_list (i integer, stat_type_code text, sub_stat_code text, matched boolean);
    END IF;
    DELETE FROM pg_temp.tj_class_list;
    INSERT INTO pg_temp.tj_class_list SELECT * FROM tj_sort.stored_classes(p_table, p_conditions);
    RETURN NOT EXISTS (SELECT 1 FROM pg_temp.tj_class_list WHERE NOT matched);
END
$$;

-- The pairs (i, cls_id, call_no) each condition selects, as a relation to join: for classes of
-- stored templates their rows of tj_class_member; when any condition is another one, all of
-- them in pg_temp.tj_class_map, the others evaluated on tj_class_key under the table's name.
-- NULL when a condition cannot be read that way (it looks at anything but the scheme and call
-- number of the row) or selects a pair with an empty scheme or call number, which a join on the
-- pair would miss.
CREATE OR REPLACE FUNCTION tj_sort.class_map(p_table text, p_conditions text[]) RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
    c record;
BEGIN
    IF tj_sort.list_stored_classes(p_table, p_conditions) THEN
        RETURN '(SELECT l.i, m.cls_id, m.call_no FROM pg_temp.tj_class_list l JOIN tj_class_member m '
               'ON m.stat_type_code = l.stat_type_code AND m.sub_stat_code = l.sub_stat_code)';
    END IF;
    IF to_regclass('pg_temp.tj_class_map') IS NULL THEN
        CREATE TEMPORARY TABLE tj_class_map (i integer, cls_id text, call_no text);
    END IF;
    DELETE FROM pg_temp.tj_class_map;
    FOR c IN SELECT l.i, l.stat_type_code, l.sub_stat_code, l.matched, p_conditions[l.i] AS cond
               FROM pg_temp.tj_class_list l ORDER BY l.i LOOP
        IF c.matched THEN
            INSERT INTO pg_temp.tj_class_map (i, cls_id, call_no)
            SELECT c.i, m.cls_id, m.call_no FROM tj_class_member m
             WHERE m.stat_type_code = c.stat_type_code AND m.sub_stat_code = c.sub_stat_code;
        ELSIF tj_sort.is_one_group(c.cond) THEN
            BEGIN
                EXECUTE format('INSERT INTO pg_temp.tj_class_map (i, cls_id, call_no) '
                               'SELECT %s, %2$s.cls_id, %2$s.call_no FROM tj_class_key AS %2$s WHERE true %3$s',
                               c.i, p_table, c.cond);
            EXCEPTION WHEN OTHERS THEN
                RETURN NULL;
            END;
        ELSE
            RETURN NULL;
        END IF;
    END LOOP;
    IF EXISTS (SELECT 1 FROM pg_temp.tj_class_map WHERE cls_id IS NULL OR call_no IS NULL) THEN
        RETURN NULL;
    END IF;
    ANALYZE pg_temp.tj_class_map;
    RETURN 'pg_temp.tj_class_map';
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

-- Runs a statement of rows (i, figures) and gives the n figures in class order, a class
-- without a row taking the figures of nothing.
CREATE OR REPLACE FUNCTION tj_sort.figures_by_class(p_sql text, p_rows_sql text, p_n integer) RETURNS text[]
LANGUAGE plpgsql
AS $$
DECLARE
    v_result text[];
BEGIN
    EXECUTE format('SELECT array_agg(coalesce(r.v, $1) ORDER BY g.i) FROM generate_series(1, %s) g(i) '
                   'LEFT JOIN (%s) r(i, v) ON r.i = g.i', p_n, p_rows_sql)
       INTO v_result USING tj_sort.figures_of_nothing(p_sql);
    RETURN v_result;
END
$$;

-- The class figures from the summaries; NULL when the summaries cannot give them (a period
-- finer than the summary, or classes not of a stored template where the summary is per class).
CREATE OR REPLACE FUNCTION tj_sort.classes_from_summaries(p_sql text, p_conditions text[]) RETURNS text[]
LANGUAGE plpgsql
AS $$
DECLARE
    s        record;
    v_filter text;
    v_figures text;
    v_map    text;
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
        IF tj_sort.list_stored_classes(s.hist_table, p_conditions) THEN
            RETURN tj_sort.figures_by_class(p_sql, format(
                'SELECT l.i, CASE WHEN sum(d.events) > 0 THEN %s END FROM pg_temp.tj_class_list l '
                'JOIN tj_class_day d ON d.stat_type_code = l.stat_type_code AND d.sub_stat_code = l.sub_stat_code '
                'WHERE %s GROUP BY l.i', v_figures, v_filter), cardinality(p_conditions));
        END IF;
        -- Other classes over whole years: the pairs of the year summary.
        v_filter := tj_sort.restriction('d.year', 4, 'd.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN NULL;
        END IF;
        v_map := tj_sort.class_map(s.hist_table, p_conditions);
        IF v_map IS NULL THEN
            RETURN NULL;
        END IF;
        RETURN tj_sort.figures_by_class(p_sql, format(
            'SELECT m.i, CASE WHEN sum(d.events) > 0 THEN %s END FROM %s m '
            'JOIN tj_type_year d ON d.cls_id = m.cls_id AND d.call_no = m.call_no '
            'WHERE %s GROUP BY m.i', v_figures, v_map, v_filter), cardinality(p_conditions));
    ELSIF s.form = 'titles' THEN
        v_filter := tj_sort.restriction('y.year', 4, 'y.location_f', s.period_len, s.period_op,
                                        s.period_val, s.locations);
        IF v_filter IS NULL THEN
            RETURN NULL;
        END IF;
        v_map := tj_sort.class_map(s.hist_table, p_conditions);
        IF v_map IS NULL THEN
            RETURN NULL;
        END IF;
        -- Titles per class grouped first, then counted: a hash over the titles instead of the
        -- sort a count(DISTINCT ...) takes.
        RETURN tj_sort.figures_by_class(p_sql, format(
            'SELECT t.i, count(t.marc_rec_no) || '','' || sum(t.events) FROM ('
            'SELECT m.i, y.marc_rec_no, sum(y.events) AS events FROM %s m '
            'JOIN tj_title_year y ON y.cls_id = m.cls_id AND y.call_no = m.call_no '
            'WHERE y.hist_table = %L AND y.events > 0 AND %s GROUP BY 1, 2) t GROUP BY t.i',
            v_map, s.hist_table, v_filter), cardinality(p_conditions));
    END IF;
    RETURN NULL;
END
$$;

-- The class figures in one pass over the history joined to the classes' pairs; NULL when the
-- statement or the conditions do not allow it.
CREATE OR REPLACE FUNCTION tj_sort.classes_in_one_pass(p_sql text, p_conditions text[]) RETURNS text[]
LANGUAGE plpgsql
AS $$
DECLARE
    s     record;
    p     record;
    v_map text;
BEGIN
    SELECT * INTO s FROM tj_sort.parse_statement(p_sql);
    IF s.form IS NULL THEN
        RETURN NULL;
    END IF;
    v_map := tj_sort.class_map(s.hist_table, p_conditions);
    IF v_map IS NULL THEN
        RETURN NULL;
    END IF;
    SELECT * INTO p FROM tj_sort.statement_parts(p_sql);
    RETURN tj_sort.figures_by_class(p_sql, format(
        'SELECT m.i, (%s)::text FROM %s, %s m WHERE %s '
        'AND m.cls_id = %5$s.cls_id AND m.call_no = %5$s.call_no GROUP BY m.i',
        p.figures, p.source, v_map, p.restriction, s.hist_table), cardinality(p_conditions));
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
    DELETE FROM tj_total_day;
    DELETE FROM tj_type_year;
    INSERT INTO tj_class_key (cls_id, call_no)
    SELECT cls_id, call_no FROM redr_book_stat_hist UNION SELECT cls_id, call_no FROM book_use_stat_hist;
    INSERT INTO tj_title_year SELECT * FROM tj_sort.counted_title_year();
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

-- A database that has history but no summaries yet, or not all of them (the procedures loaded
-- onto an existing library), gets them now.
DO $$
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM tj_class_key)
        AND (EXISTS (SELECT 1 FROM redr_book_stat_hist) OR EXISTS (SELECT 1 FROM book_use_stat_hist)))
       OR (NOT EXISTS (SELECT 1 FROM tj_type_year) AND EXISTS (SELECT 1 FROM tj_total_day)) THEN
        CALL tj_sort.rebuild_summaries();
    END IF;
END
$$;
