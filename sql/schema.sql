-- Library database: every table the reading-room desk reads or writes.
--
-- Conventions
--   * Codes, flags, names and lists are text. Event times are 18-character text,
--     "yyyy-mm-dd" directly followed by "hh:mm:ss"; dates alone are "yyyy-mm-dd".
--     Both compare correctly as text, which is how every statement compares them.
--   * Amounts of money are numeric(12,2); counts are integer.
--   * A MARC record is ISO 2709 text cut into marc_data rows of three varchar(2000)
--     columns, read back in data_serial order.
--   * Constraint names are chosen for the desk's error reporter, which sees only the
--     constraint name:
--       - a duplicate key is recognised by the name of the key: INDI_BARCODE_IDX (item
--         barcode), PK_INDI_ACCT (property number), PK_CALL_NO_LST (call number),
--         PK_READER_CERT (card barcode), PK_READER (certificate number). Every other key
--         is called <table>_pk, which never contains one of those names;
--       - a foreign key is called <referencing>_RE<REFERENCED TABLE>. The reporter
--         names the referenced record by the first of ITEM, CALL, MARC, READER whose
--         first occurrence lies after the first "_RE", so the referencing part never
--         contains the referenced word (readers' tables are abbreviated REDR_…).
--
-- Loaded once into a fresh database (as the owner of schema public), before the
-- procedures, the base data and the demo library.

BEGIN;

-- =====================================================================================
-- Messages and system parameters
-- =====================================================================================

-- Message texts by id: kind letter, two letters for the area, three digits ("ECM500").
-- "%S" in a text is replaced by the text the caller appends, "\N" breaks the line.
CREATE TABLE msg_mst (
    msg_id          text NOT NULL,
    msg_content     text,
    CONSTRAINT msg_mst_pk PRIMARY KEY (msg_id)
);

-- System parameters shared by the modules of the suite, looked up by the numeric value
-- of the code; the value is text and converted by the reader of each parameter.
CREATE TABLE sys_comm_para (
    sys_para_code   text NOT NULL,
    sys_para_value  text,
    sys_para_name   text,
    CONSTRAINT sys_comm_para_pk PRIMARY KEY (sys_para_code)
);

-- Item lists of the reader search window (item types "11" to "15").
CREATE TABLE tmp_itemlist (
    itemtype        text NOT NULL,
    itemcontent     text NOT NULL,
    CONSTRAINT tmp_itemlist_pk PRIMARY KEY (itemtype, itemcontent)
);

-- =====================================================================================
-- Staff, workstations and rights
-- =====================================================================================

-- Workers. wkr_flag "0" disables the worker; the password is kept as typed and compared
-- without regard to letter case; code1 holds the module letters the worker works in;
-- code2 "1" grants special rights.
CREATE TABLE lib_worker (
    wkr_no          text NOT NULL,
    wkr_name        text,
    password        text,
    wkr_flag        text DEFAULT '1',
    code1           text,
    code2           text,
    wkr_email       text,
    wkr_tele        text,
    dep_id          text,
    remark          text,
    CONSTRAINT lib_worker_pk PRIMARY KEY (wkr_no)
);

-- Module rights of a worker ("4022" reading-room desk, "4023" purge reading records,
-- "4005" settle fines, "4024" change, reduce or waive a fine).
CREATE TABLE user_auth_lst (
    wkr_no          text NOT NULL,
    modu_code       text NOT NULL,
    CONSTRAINT user_auth_lst_pk PRIMARY KEY (wkr_no, modu_code)
);

-- Locations a worker may work for.
CREATE TABLE user_location (
    wkr_no          text NOT NULL,
    location        text NOT NULL,
    CONSTRAINT user_location_pk PRIMARY KEY (wkr_no, location)
);

-- Workstations (network names, upper case) a worker may log in at.
CREATE TABLE user_comp_lst (
    wkr_no          text NOT NULL,
    comp_name       text NOT NULL,
    CONSTRAINT user_comp_lst_pk PRIMARY KEY (wkr_no, comp_name)
);

-- The locations a workstation serves; the desk takes the one configured for reading
-- rooms (location_sort.oper_type '3').
CREATE TABLE loca_comp_lst (
    comp_name       text NOT NULL,
    location        text NOT NULL,
    CONSTRAINT loca_comp_lst_pk PRIMARY KEY (comp_name, location)
);

-- =====================================================================================
-- Locations, calendar and circulation rules
-- =====================================================================================

-- Locations. lend_location, ret_location and fine_location are comma-separated lists
-- of the locations where an item of this location may be lent, returned, and where its
-- charges may be settled; group_id is the location group.
CREATE TABLE location_lst (
    location            text NOT NULL,
    location_name       text,
    location_property   text,
    short_loca_name     text,
    lend_location       text,
    ret_location        text,
    fine_location       text,
    group_id            text,
    use_flag            text DEFAULT '1',
    CONSTRAINT location_lst_pk PRIMARY KEY (location)
);

-- Which locations serve which kind of desk (oper_type '3': reading rooms), in order.
CREATE TABLE location_sort (
    oper_type       text NOT NULL,
    location        text NOT NULL,
    sequence        integer,
    CONSTRAINT location_sort_pk PRIMARY KEY (oper_type, location)
);

-- Location groups.
CREATE TABLE loca_group (
    group_id        text NOT NULL,
    group_name      text,
    use_flag        text DEFAULT '1',
    CONSTRAINT loca_group_pk PRIMARY KEY (group_id)
);

-- Closing periods of a location: a loan period ending inside one is moved to
-- close_end_day + ext_days + 1 day.
CREATE TABLE close_day (
    location        text NOT NULL,
    close_bgn_day   text NOT NULL,
    close_end_day   text NOT NULL,
    ext_days        integer DEFAULT 0,
    remark          text,
    CONSTRAINT close_day_pk PRIMARY KEY (location, close_bgn_day)
);

-- Opening times of a location per week day ("SUN" .. "SAT"); "hh:mm", "00:00" closed.
CREATE TABLE open_time (
    location        text NOT NULL,
    week            text NOT NULL,
    morn_open_time  text DEFAULT '00:00',
    aftn_open_time  text DEFAULT '00:00',
    even_open_time  text DEFAULT '00:00',
    CONSTRAINT open_time_pk PRIMARY KEY (location, week)
);

-- Circulation rules. Periods are in the rule's time_unit: "D" days, otherwise hours.
-- Photocopy lending uses the rules numbered "COPY…".
CREATE TABLE circ_rule (
    rule_no             text NOT NULL,
    rule_name           text,
    time_unit           text DEFAULT 'D',
    norm_term           integer DEFAULT 0,
    limt_lend_qty       integer DEFAULT 0,
    max_lend_qty        integer DEFAULT 0,
    perg_ysno           text,
    renew_ysno          text,
    max_renew_times     integer DEFAULT 0,
    renew_bef_exp_days  integer DEFAULT 0,
    fst_renew_days      integer DEFAULT 0,
    add_renew_days      integer DEFAULT 0,
    preg_keep_days      integer DEFAULT 0,
    min_use_days        integer DEFAULT 0,
    use_bef_exp_days    integer DEFAULT 0,
    use_aft_asback_days integer DEFAULT 0,
    max_excd_times      integer DEFAULT 0,
    fst_notice          integer DEFAULT 0,
    snd_notice          integer DEFAULT 0,
    thd_notice          integer DEFAULT 0,
    unfine_ext_days     integer DEFAULT 0,
    fst_fine_days       integer DEFAULT 0,
    fst_fine_price      numeric(12,2) DEFAULT 0,
    other_fine_price    numeric(12,2) DEFAULT 0,
    tech_fee            numeric(12,2) DEFAULT 0,
    serv_fee            numeric(12,2) DEFAULT 0,
    fst_notice_no       text,
    snd_notice_no       text,
    thd_notice_no       text,
    preg_notice_no      text,
    keep_book_qty       integer DEFAULT 0,
    renew_calc_flag     text,
    rule_flag           text,
    reg_day             text,
    upt_day             text,
    resp_wkr            text,
    CONSTRAINT circ_rule_pk PRIMARY KEY (rule_no)
);

-- Which rule applies to which location, circulation type and reader type (code lists,
-- "*" and "prefix*" allowed); the highest no wins.
CREATE TABLE rule_comp (
    no                  integer NOT NULL,
    rule_no             text,
    loca_code_c         text,
    circ_type_code_c    text,
    redr_type_code_c    text,
    r_dep_id            text,
    CONSTRAINT rule_comp_pk PRIMARY KEY (no)
);

-- Loan limits per location group (code list) and reader type (code list).
CREATE TABLE group_rule_comp (
    r_group_id          text NOT NULL,
    redr_type_code_r    text NOT NULL,
    max_lend_qty        integer DEFAULT 0,
    CONSTRAINT group_rule_comp_pk PRIMARY KEY (r_group_id, redr_type_code_r)
);

-- =====================================================================================
-- Code tables
-- =====================================================================================

CREATE TABLE circ_type_code (
    circ_type_code  text NOT NULL,
    circ_type_name  text,
    remark          text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT circ_type_code_pk PRIMARY KEY (circ_type_code)
);

-- Classification schemes; marc_field names the field and subfield of the class number.
CREATE TABLE classifica_code (
    cls_id          text NOT NULL,
    cls_name        text,
    marc_field      text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT classifica_code_pk PRIMARY KEY (cls_id)
);

-- Circulation type that the items of a class (in a scheme) usually get.
CREATE TABLE circ_type_sort (
    cls_id          text NOT NULL,
    circ_type_code  text NOT NULL,
    class           text NOT NULL,
    CONSTRAINT circ_type_sort_pk PRIMARY KEY (cls_id, circ_type_code, class)
);

CREATE TABLE cls_group (
    grp_code        text NOT NULL,
    grp_name        text,
    CONSTRAINT cls_group_pk PRIMARY KEY (grp_code)
);

CREATE TABLE doc_type_code (
    doc_type_code   text NOT NULL,
    doc_type_name   text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT doc_type_code_pk PRIMARY KEY (doc_type_code)
);

CREATE TABLE carrier_code (
    carrier_code    text NOT NULL,
    carrier_name    text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT carrier_code_pk PRIMARY KEY (carrier_code)
);

CREATE TABLE get_mode_code (
    get_mode_code   text NOT NULL,
    get_mode_name   text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT get_mode_code_pk PRIMARY KEY (get_mode_code)
);

-- Language codes are stored in upper case.
CREATE TABLE language_code (
    lang_code       text NOT NULL,
    lang_name       text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT language_code_pk PRIMARY KEY (lang_code)
);

-- Country codes are stored in upper case.
CREATE TABLE country_code (
    country_code    text NOT NULL,
    country_name    text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT country_code_pk PRIMARY KEY (country_code)
);

-- Reader types. chk_validity_period "1": the card's validity dates are checked.
CREATE TABLE reader_type (
    redr_type_code      text NOT NULL,
    redr_type_name      text,
    redr_attr_1         text,
    redr_attr_2         text,
    redr_attr_3         text,
    max_lend_qty        integer DEFAULT 0,
    max_debt_amt        numeric(12,2) DEFAULT 0,
    max_preg_qty        integer DEFAULT 0,
    max_preg_days       integer DEFAULT 0,
    chk_validity_period text DEFAULT '0',
    remark              text,
    code_use_flag       text DEFAULT '1',
    CONSTRAINT reader_type_pk PRIMARY KEY (redr_type_code)
);

-- Lending grades of readers and call numbers; remark is the grade's name.
CREATE TABLE lend_grd (
    lend_grd        text NOT NULL,
    remark          text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT lend_grd_pk PRIMARY KEY (lend_grd)
);

CREATE TABLE violate_code (
    volt_code       text NOT NULL,
    volt_name       text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT violate_code_pk PRIMARY KEY (volt_code)
);

-- Readers' departments.
CREATE TABLE department (
    dep_id          text NOT NULL,
    dep_name        text,
    use_flag        text DEFAULT '1',
    CONSTRAINT department_pk PRIMARY KEY (dep_id)
);

-- Job types of the workload counter ("4…" for the reading-room module).
CREATE TABLE job_type (
    job_type        text NOT NULL,
    job_name        text,
    CONSTRAINT job_type_pk PRIMARY KEY (job_type)
);

-- =====================================================================================
-- Bibliographic records
-- =====================================================================================

-- MARC record headers. marc_type: "C"/"N" CN MARC, "U" US MARC, "c"/"u" authority
-- records. The m_* columns repeat the main elements of the record for lists.
CREATE TABLE marc (
    marc_rec_no     text NOT NULL,
    marc_type       text,
    doc_type_code   text,
    lang_code       text,
    country_code    text,
    marc_use_flag   text DEFAULT '1',
    cata_oper       text,
    cata_date       text,
    m_call_no       text,
    m_title         text,
    m_author        text,
    m_publisher     text,
    m_pub_year      text,
    m_isbn          text,
    m_classno       text,
    m_heading       text,
    m_see           text,
    m_seealso       text,
    CONSTRAINT marc_pk PRIMARY KEY (marc_rec_no)
);

-- The record text (ISO 2709), in pieces: marc01, marc02, marc03 of every row, rows in
-- data_serial order, joined give the whole record.
CREATE TABLE marc_data (
    marc_rec_no     text NOT NULL,
    data_serial     integer NOT NULL DEFAULT 1,
    marc01          varchar(2000),
    marc02          varchar(2000),
    marc03          varchar(2000),
    CONSTRAINT marc_data_pk PRIMARY KEY (marc_rec_no, data_serial),
    CONSTRAINT mdata_remarc FOREIGN KEY (marc_rec_no)
        REFERENCES marc (marc_rec_no) ON DELETE CASCADE
);

-- Index groups of the book search per MARC type ('C' CN MARC, 'U' US MARC) and use;
-- marc_field lists alternatives such as "200a,701a".
CREATE TABLE marc_idx_para (
    marc_type_id        text NOT NULL,
    use_type            text NOT NULL,
    marc_idx_grp        text NOT NULL,
    marc_idx_grp_name   text,
    stopword_flag       text DEFAULT '0',
    marc_field          text,
    CONSTRAINT marc_idx_para_pk PRIMARY KEY (marc_type_id, use_type, marc_idx_grp)
);

-- Words left out of the search indexes.
CREATE TABLE stopword (
    stopword_type   text NOT NULL,
    stopword_cont   text NOT NULL,
    CONSTRAINT stopword_pk PRIMARY KEY (stopword_type, stopword_cont)
);

-- Search index entries of the records: one row per index group and indexed text,
-- cut to the width of marc_idx_cont.
CREATE TABLE marc_idx (
    marc_rec_no     text NOT NULL,
    marc_idx_grp    text NOT NULL,
    marc_idx_cont   varchar(60) NOT NULL,
    CONSTRAINT marc_idx_pk PRIMARY KEY (marc_rec_no, marc_idx_grp, marc_idx_cont),
    CONSTRAINT midx_remarc FOREIGN KEY (marc_rec_no)
        REFERENCES marc (marc_rec_no) ON DELETE CASCADE
);
-- The record numbers ride in the index: a title-prefix search of thousands of hits reads the
-- index alone.
CREATE INDEX marc_idx_cont_idx ON marc_idx (marc_idx_grp, marc_idx_cont) INCLUDE (marc_rec_no);
CREATE INDEX marc_idx_cont_like_idx ON marc_idx (marc_idx_grp, marc_idx_cont varchar_pattern_ops);

-- Highest class serial number given per class number, kept by cataloguing.
CREATE TABLE max_class_serial (
    cls_id          text NOT NULL,
    class_no        text NOT NULL,
    max_serial      integer DEFAULT 0,
    resp_wkr        text,
    upt_day         text,
    CONSTRAINT max_class_serial_pk PRIMARY KEY (cls_id, class_no)
);

-- Call numbers: one per title and call number, with its scheme (cls_id), circulation
-- type and lending grade, and the running counts of lending, reading and reservations.
CREATE TABLE call_no_lst (
    call_no         text NOT NULL,
    marc_rec_no     text,
    cls_id          text,
    circ_type_code  text,
    lend_grd        text,
    year_lend_qty   integer DEFAULT 0,
    total_lend_qty  integer DEFAULT 0,
    year_read_qty   integer DEFAULT 0,
    total_read_qty  integer DEFAULT 0,
    year_preg_qty   integer DEFAULT 0,
    total_preg_qty  integer DEFAULT 0,
    reg_day         text,
    resp_wkr        text,
    CONSTRAINT pk_call_no_lst PRIMARY KEY (call_no),
    CONSTRAINT call_no_lst_remarc FOREIGN KEY (marc_rec_no) REFERENCES marc (marc_rec_no)
);
CREATE INDEX call_no_lst_marc_idx ON call_no_lst (marc_rec_no);
CREATE INDEX call_no_lst_like_idx ON call_no_lst (call_no text_pattern_ops);

-- Items (copies). book_lend_flag: "0" on the shelf, "1" lent, "2" held for a
-- reservation, "3" lent on commission. book_stat_code: the item's state ("41" lendable,
-- "43" reading only, …). Location "99999" stands for an item without a fixed place.
CREATE TABLE item (
    prop_no         text NOT NULL,
    bar_code        text,
    marc_rec_no     text,
    call_no         text,
    location        text,
    book_stat_code  text DEFAULT '41',
    book_lend_flag  text DEFAULT '0',
    attachment      text,
    price           numeric(12,2),
    regist_date     text,
    batch_no        text,
    year_lend_qty   integer DEFAULT 0,
    total_lend_qty  integer DEFAULT 0,
    year_read_qty   integer DEFAULT 0,
    total_read_qty  integer DEFAULT 0,
    resp_wkr        text,
    remark          text,
    CONSTRAINT pk_indi_acct PRIMARY KEY (prop_no),
    CONSTRAINT item_recall_no_lst FOREIGN KEY (call_no) REFERENCES call_no_lst (call_no),
    CONSTRAINT item_remarc FOREIGN KEY (marc_rec_no) REFERENCES marc (marc_rec_no)
);
CREATE UNIQUE INDEX indi_barcode_idx ON item (bar_code);
CREATE INDEX item_call_no_idx ON item (call_no);
CREATE INDEX item_marc_idx ON item (marc_rec_no);
CREATE INDEX item_location_idx ON item (location);
CREATE INDEX item_prop_like_idx ON item (prop_no text_pattern_ops);
CREATE INDEX item_barcode_like_idx ON item (bar_code text_pattern_ops);

-- The accession register as the book search and the holdings tab see it: the same rows
-- as item, so inserts and updates through it land in item (and its key and barcode
-- checks apply). location is the distribution location.
CREATE VIEW indi_acct AS
    SELECT prop_no, bar_code, marc_rec_no, call_no, location, book_stat_code,
           book_lend_flag, attachment, price, regist_date, batch_no, year_lend_qty,
           total_lend_qty, year_read_qty, total_read_qty, resp_wkr, remark
      FROM item;

-- Batches of item processing (mending, re-checking, withdrawal, gifts, exchange).
CREATE TABLE deal_batch_lst (
    deal_batch_no   text NOT NULL,
    deal_type_code  text,
    deal_stat_flag  text DEFAULT '0',
    location        text,
    bgn_date        text,
    end_date        text,
    resp_wkr        text,
    remark          text,
    CONSTRAINT deal_batch_lst_pk PRIMARY KEY (deal_batch_no)
);

-- Items of a processing batch.
CREATE TABLE deal_log (
    deal_batch_no   text NOT NULL,
    prop_no         text NOT NULL,
    deal_type_code  text,
    deal_date       text,
    location        text,
    resp_wkr        text,
    remark          text,
    CONSTRAINT deal_log_pk PRIMARY KEY (deal_batch_no, prop_no),
    CONSTRAINT deal_log_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX deal_log_prop_idx ON deal_log (prop_no);

-- Moves of items between locations.
CREATE TABLE alloc_record (
    alloc_no        text NOT NULL,
    prop_no         text NOT NULL,
    alloc_date      text,
    src_location    text,
    dest_location   text,
    resp_wkr        text,
    remark          text,
    CONSTRAINT alloc_record_pk PRIMARY KEY (alloc_no, prop_no),
    CONSTRAINT alloc_record_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX alloc_record_prop_idx ON alloc_record (prop_no);

-- =====================================================================================
-- Readers
-- =====================================================================================

-- Readers, keyed by certificate number. redr_flag "0": deregistered (on redr_del_day).
-- volt_flag is the number of unsettled violations, debt_flag the amount owed, obligate
-- the prepaid balance, deposit the deposit paid. code01 is the grade group, r_dep_id the
-- department code.
-- The column order is the argument order of LT_UPD_reader_new (cert_id, then the 30
-- values: volt_flag is argument 18, debt_flag 19, obligate 30).
CREATE TABLE reader (
    cert_id         text NOT NULL,
    redr_type_code  text,
    lend_grd        text,
    id_card         text,
    name            text,
    sex             text,
    birthday        text,
    dept            text,
    occupation      text,
    duty            text,
    position        text,
    address         text,
    tele            text,
    postcode        text,
    email           text,
    total_lend_qty  integer DEFAULT 0,
    year_lend_qty   integer DEFAULT 0,
    volt_flag       integer DEFAULT 0,
    debt_flag       numeric(12,2) DEFAULT 0,
    education       text,
    password        text,
    code01          text,
    code02          text,
    remark          text,
    redr_reg_day    text,
    redr_del_day    text,
    deposit         numeric(12,2) DEFAULT 0,
    redr_flag       text DEFAULT '1',
    mobile          text,
    obligate        numeric(12,2) DEFAULT 0,
    r_dep_id        text,
    CONSTRAINT pk_reader PRIMARY KEY (cert_id)
);
CREATE INDEX reader_cert_like_idx ON reader (cert_id text_pattern_ops);
CREATE INDEX reader_id_card_idx ON reader (id_card text_pattern_ops);
-- A name-prefix search (the quick lookup and the reader search's list) reads the index alone.
CREATE INDEX reader_name_idx ON reader (name text_pattern_ops)
    INCLUDE (cert_id, redr_flag, id_card, dept, occupation, redr_type_code, code01);

-- Reader cards, keyed by card barcode. cert_flag "0" cancelled, "1" valid, "2"
-- reported lost; bgn_date and end_date bound the card's validity.
CREATE TABLE reader_cert (
    redr_cert_id    text NOT NULL,
    cert_id         text NOT NULL,
    cert_flag       text DEFAULT '1',
    oper_date       text,
    bgn_date        text,
    end_date        text,
    charge          numeric(12,2) DEFAULT 0,
    resp_wkr        text,
    remark          text,
    CONSTRAINT pk_reader_cert PRIMARY KEY (redr_cert_id),
    CONSTRAINT redr_cert_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id)
);
-- The cards of many readers at once (the reader search's list) come from the index alone.
CREATE INDEX reader_cert_reader_idx ON reader_cert (cert_id)
    INCLUDE (redr_cert_id, cert_flag, oper_date, resp_wkr);
CREATE INDEX reader_cert_barcode_like_idx ON reader_cert (redr_cert_id text_pattern_ops);

-- Card loss reports. cert_lose_flag "1" while the loss stands; solv_date when lifted.
CREATE TABLE cert_loss (
    redr_cert_id    text NOT NULL,
    lose_date       text NOT NULL,
    solv_date       text,
    cert_lose_flag  text DEFAULT '1',
    resp_wkr        text,
    remark          text,
    CONSTRAINT cert_loss_pk PRIMARY KEY (redr_cert_id, lose_date),
    CONSTRAINT cert_loss_rereader_cert FOREIGN KEY (redr_cert_id)
        REFERENCES reader_cert (redr_cert_id)
);

-- Readers' photographs (BMP, GIF or JPEG bytes).
CREATE TABLE reader_portrait (
    p_cert_id           text NOT NULL,
    rearder_portrait    bytea,
    CONSTRAINT reader_portrait_pk PRIMARY KEY (p_cert_id),
    CONSTRAINT redr_portrait_rereader FOREIGN KEY (p_cert_id) REFERENCES reader (cert_id)
);

-- Violations. volt_deal_flag "0" dealt with, "1" lending suspended until froz_end_date,
-- "2" fine due, "3" fine due and suspended.
-- The column order is the argument order of LT_UPD_reader_volt_lst.
CREATE TABLE reader_volt_lst (
    cert_id         text NOT NULL,
    punish_date     text NOT NULL,
    volt_code       text,
    prop_no         text,
    location_f      text,
    real_fine_amt   numeric(12,2) DEFAULT 0,
    fine_date       text,
    bill_no         text,
    froz_end_date   text,
    volt_deal_flag  text DEFAULT '0',
    resp_wkr        text,
    remark          text,
    CONSTRAINT reader_volt_lst_pk PRIMARY KEY (cert_id, punish_date),
    CONSTRAINT redr_volt_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id)
);

-- =====================================================================================
-- Loans and charges
-- =====================================================================================

-- Open loans, one per item. Dates are event times; norm_ret_date is "yyyy-mm-dd" for
-- day rules and an event time for hour rules. preg_flag and rele_flag mark loans of
-- reserved and commissioned items.
CREATE TABLE lend_lst (
    cert_id         text NOT NULL,
    prop_no         text NOT NULL,
    lend_date       text NOT NULL,
    norm_ret_date   text,
    rule_no_f       text,
    attachment      text,
    resp_wkr        text,
    preg_flag       text DEFAULT '0',
    rele_flag       text DEFAULT '0',
    renew_date      text,
    renew_times     integer DEFAULT 0,
    asback_date     text,
    asback_times    integer DEFAULT 0,
    location        text,
    CONSTRAINT lend_lst_pk PRIMARY KEY (prop_no),
    CONSTRAINT lend_lst_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT lend_lst_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX lend_lst_reader_idx ON lend_lst (cert_id);

-- Returned loans. excd_days is the overdue count in the rule's unit.
CREATE TABLE lend_hist (
    cert_id_f       text NOT NULL,
    prop_no_f       text NOT NULL,
    lend_date       text,
    ret_date        text,
    norm_ret_date   text,
    excd_days       integer DEFAULT 0,
    renew_date      text,
    renew_times     integer DEFAULT 0,
    asback_date     text,
    asback_times    integer DEFAULT 0,
    location        text,
    lend_wkr        text,
    ret_wkr         text,
    cls_id          text,
    attachment      text,
    preg_flag       text DEFAULT '0',
    rele_flag       text DEFAULT '0',
    rule_no_f       text,
    hist_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT lend_hist_pk PRIMARY KEY (hist_serial),
    CONSTRAINT lend_hist_rereader FOREIGN KEY (cert_id_f) REFERENCES reader (cert_id),
    CONSTRAINT lend_hist_reitem FOREIGN KEY (prop_no_f) REFERENCES item (prop_no)
);
CREATE INDEX lend_hist_reader_idx ON lend_hist (cert_id_f, ret_date);
CREATE INDEX lend_hist_item_idx ON lend_hist (prop_no_f, ret_date);

-- Older returned loans moved out of lend_hist; kept without ties to readers and items.
CREATE TABLE lend_hist_bak (
    cert_id_f       text NOT NULL,
    prop_no_f       text NOT NULL,
    lend_date       text,
    ret_date        text,
    norm_ret_date   text,
    excd_days       integer DEFAULT 0,
    renew_date      text,
    renew_times     integer DEFAULT 0,
    asback_date     text,
    asback_times    integer DEFAULT 0,
    location        text,
    lend_wkr        text,
    ret_wkr         text,
    cls_id          text,
    attachment      text,
    preg_flag       text DEFAULT '0',
    rele_flag       text DEFAULT '0',
    rule_no_f       text,
    hist_serial     bigint NOT NULL,
    CONSTRAINT lend_hist_bak_pk PRIMARY KEY (hist_serial)
);
CREATE INDEX lend_hist_bak_reader_idx ON lend_hist_bak (cert_id_f);
CREATE INDEX lend_hist_bak_item_idx ON lend_hist_bak (prop_no_f);

-- Overdue charges. time_unit "D" or "H" as the rule that charged; debt_deal_flag "0"
-- unsettled, "1" settled or waived; real_fine_amt is what was taken, fine_date when,
-- pay_mode how ("0" cash, "1" card, "2" prepaid balance).
-- The first 19 columns are the arguments of LT_UPD_exceed_fine_lst, in order.
CREATE TABLE exceed_fine_lst (
    prop_no         text NOT NULL,
    cert_id         text NOT NULL,
    lend_date       text NOT NULL,
    ret_date        text,
    norm_ret_date   text,
    location_f      text,
    fine_amt        numeric(12,2) DEFAULT 0,
    renew_date      text,
    renew_times     integer DEFAULT 0,
    asback_date     text,
    asback_times    integer DEFAULT 0,
    real_fine_amt   numeric(12,2) DEFAULT 0,
    bill_no         text,
    fine_date       text,
    debt_deal_flag  text DEFAULT '0',
    resp_wkr        text,
    remark          text,
    time_unit       text DEFAULT 'D',
    rule_no_f       text,
    pay_mode        text,
    CONSTRAINT exceed_fine_lst_pk PRIMARY KEY (prop_no, cert_id, lend_date),
    CONSTRAINT exceed_fine_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT exceed_fine_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX exceed_fine_reader_idx ON exceed_fine_lst (cert_id, debt_deal_flag);

-- Account book of money taken and forgiven. acct_type "5" overdue fine paid, "6" fine
-- reduced or waived; pay_mode "0" cash, "1" card, "2" prepaid balance.
CREATE TABLE deposit_account_lst (
    cert_id         text,
    acct_type       text,
    pay_mode        text,
    acct_flag       text,
    oper_date       text,
    bill_no         text,
    resp_wkr        text,
    amount          numeric(12,2) DEFAULT 0,
    remark          text,
    acct_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT deposit_account_lst_pk PRIMARY KEY (acct_serial)
);
CREATE INDEX deposit_account_bill_idx ON deposit_account_lst (bill_no);
CREATE INDEX deposit_account_reader_idx ON deposit_account_lst (cert_id, oper_date);

-- Loss compensations. recoup_type "1" book replaced, "2" paid, "3" paid back.
CREATE TABLE lost_recoup_lst (
    cert_id         text NOT NULL,
    prop_no         text NOT NULL,
    recoup_date     text NOT NULL,
    src_price       numeric(12,2) DEFAULT 0,
    tech_fee        numeric(12,2) DEFAULT 0,
    serv_fee        numeric(12,2) DEFAULT 0,
    real_recoup_amt numeric(12,2) DEFAULT 0,
    bill_no         text,
    recoup_type     text,
    recoup_flag     text,
    resp_wkr        text,
    remark          text,
    CONSTRAINT lost_recoup_lst_pk PRIMARY KEY (prop_no, cert_id, recoup_date),
    CONSTRAINT lost_recoup_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT lost_recoup_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX lost_recoup_reader_idx ON lost_recoup_lst (cert_id);

-- =====================================================================================
-- Reservations and commissions
-- =====================================================================================

-- Reservations of a call number at a location, queued by preg_no; preg_flag "0" while
-- the reservation runs.
CREATE TABLE preg_lst (
    preg_no         text NOT NULL,
    cert_id         text NOT NULL,
    call_no         text NOT NULL,
    location        text,
    preg_date       text,
    preg_end_date   text,
    preg_keep_days  integer DEFAULT 0,
    preg_notice_no  text,
    preg_flag       text DEFAULT '0',
    resp_wkr        text,
    CONSTRAINT preg_lst_pk PRIMARY KEY (preg_no),
    CONSTRAINT preg_lst_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT preg_lst_recall_no_lst FOREIGN KEY (call_no) REFERENCES call_no_lst (call_no)
);
CREATE INDEX preg_lst_reader_idx ON preg_lst (cert_id);
CREATE INDEX preg_lst_call_no_idx ON preg_lst (call_no, location);

-- Reserved items that arrived and wait for their reader.
CREATE TABLE preg_arri_lst (
    cert_id         text NOT NULL,
    prop_no         text NOT NULL,
    preg_arri_date  text NOT NULL,
    preg_no         text,
    noti_send_date  text,
    keep_end_date   text,
    preg_keep_days  integer DEFAULT 0,
    location        text,
    resp_wkr        text,
    CONSTRAINT preg_arri_lst_pk PRIMARY KEY (prop_no, cert_id, preg_arri_date),
    CONSTRAINT preg_arri_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT preg_arri_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX preg_arri_reader_idx ON preg_arri_lst (cert_id);

-- Commissions: a reader asks for a call number to be brought to relegate_location;
-- queued by relegate_no, relegate_flag "0" while it runs.
CREATE TABLE relegate_lst (
    relegate_no         text NOT NULL,
    cert_id             text NOT NULL,
    call_no             text NOT NULL,
    location            text,
    relegate_date       text,
    relegate_end_date   text,
    relegate_keep_days  integer DEFAULT 0,
    relegate_location   text,
    relegate_flag       text DEFAULT '0',
    resp_wkr            text,
    CONSTRAINT relegate_lst_pk PRIMARY KEY (relegate_no),
    CONSTRAINT relegate_lst_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT relegate_lst_recall_no_lst FOREIGN KEY (call_no) REFERENCES call_no_lst (call_no)
);
CREATE INDEX relegate_lst_reader_idx ON relegate_lst (cert_id);
CREATE INDEX relegate_lst_call_no_idx ON relegate_lst (call_no, location);

-- Commissioned items transferred for their reader. relegate_end_flag "1" transferred,
-- "2" handed over, "3" lent, "4" returned, "5" back in stock, "6" returned and
-- transferred.
CREATE TABLE relegate_arri_lst (
    cert_id             text NOT NULL,
    prop_no             text NOT NULL,
    relegate_arri_date  text NOT NULL,
    relegate_no         text,
    noti_send_date      text,
    keep_end_date       text,
    relegate_keep_days  integer DEFAULT 0,
    rele_lend_date      text,
    rele_ret_date       text,
    trans_location      text,
    found_location      text,
    ret_location        text,
    relegate_end_flag   text DEFAULT '1',
    resp_wkr            text,
    CONSTRAINT relegate_arri_lst_pk PRIMARY KEY (prop_no, cert_id, relegate_arri_date),
    CONSTRAINT relegate_arri_rereader FOREIGN KEY (cert_id) REFERENCES reader (cert_id),
    CONSTRAINT relegate_arri_reitem FOREIGN KEY (prop_no) REFERENCES item (prop_no)
);
CREATE INDEX relegate_arri_reader_idx ON relegate_arri_lst (cert_id);

-- =====================================================================================
-- Reading records
-- =====================================================================================
-- The three reading logs are written by the desk's procedures and purged by day; the
-- three history tables receive the same events with the item's record, call number and
-- scheme and are what the statistics count. Logs keep no ties to readers or items, so
-- that purging and deregistering stay independent.

-- A reader came into a reading room.
CREATE TABLE reader_stat (
    cert_id         text NOT NULL,
    read_date_time  text NOT NULL,
    location_f      text,
    resp_wkr        text,
    stat_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT reader_stat_pk PRIMARY KEY (stat_serial)
);
CREATE INDEX reader_stat_time_idx ON reader_stat (read_date_time);
CREATE INDEX reader_stat_reader_idx ON reader_stat (cert_id, read_date_time);

-- A book was used in a reading room.
CREATE TABLE book_use_stat (
    prop_no         text NOT NULL,
    use_date_time   text NOT NULL,
    location_f      text,
    resp_wkr        text,
    call_no         text,
    stat_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT book_use_stat_pk PRIMARY KEY (stat_serial)
);
CREATE INDEX book_use_stat_time_idx ON book_use_stat (use_date_time);
CREATE INDEX book_use_stat_item_idx ON book_use_stat (prop_no, use_date_time);

-- A reader used a book in a reading room.
CREATE TABLE reader_book_stat (
    prop_no         text NOT NULL,
    cert_id         text NOT NULL,
    date_time       text NOT NULL,
    location_f      text,
    resp_wkr        text,
    call_no         text,
    stat_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT reader_book_stat_pk PRIMARY KEY (stat_serial)
);
CREATE INDEX reader_book_stat_time_idx ON reader_book_stat (date_time);
CREATE INDEX reader_book_stat_reader_idx ON reader_book_stat (cert_id, date_time);
CREATE INDEX reader_book_stat_item_idx ON reader_book_stat (prop_no, date_time);

-- History of reader visits.
CREATE TABLE reader_stat_hist (
    cert_id         text NOT NULL,
    date_time       text NOT NULL,
    location_f      text,
    resp_wkr        text,
    prop_no         text,
    marc_rec_no     text,
    call_no         text,
    cls_id          text,
    hist_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT reader_stat_hist_pk PRIMARY KEY (hist_serial)
);
CREATE INDEX reader_stat_hist_time_idx ON reader_stat_hist (date_time);
CREATE INDEX reader_stat_hist_reader_idx ON reader_stat_hist (cert_id);

-- History of books used (cert_id stays empty).
CREATE TABLE book_use_stat_hist (
    prop_no         text NOT NULL,
    date_time       text NOT NULL,
    location_f      text,
    resp_wkr        text,
    cert_id         text,
    marc_rec_no     text,
    call_no         text,
    cls_id          text,
    hist_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT book_use_stat_hist_pk PRIMARY KEY (hist_serial)
);
CREATE INDEX book_use_stat_hist_time_idx ON book_use_stat_hist (date_time);
CREATE INDEX book_use_stat_hist_item_idx ON book_use_stat_hist (prop_no);

-- History of readers using books.
CREATE TABLE redr_book_stat_hist (
    prop_no         text NOT NULL,
    cert_id         text NOT NULL,
    date_time       text NOT NULL,
    location_f      text,
    resp_wkr        text,
    marc_rec_no     text,
    call_no         text,
    cls_id          text,
    hist_serial     bigint GENERATED BY DEFAULT AS IDENTITY,
    CONSTRAINT redr_book_stat_hist_pk PRIMARY KEY (hist_serial)
);
CREATE INDEX redr_book_stat_hist_time_idx ON redr_book_stat_hist (date_time);
CREATE INDEX redr_book_stat_hist_reader_idx ON redr_book_stat_hist (cert_id);
CREATE INDEX redr_book_stat_hist_item_idx ON redr_book_stat_hist (prop_no);

-- Scans that a desk recorded after the event, from its offline journal: each scan's key is
-- written in the same transaction as its event, so that a journal replayed again after a crash
-- or a lost connection never records a scan twice.
CREATE TABLE offline_scan_key (
    scan_key        text NOT NULL,
    scan_time       text NOT NULL,
    location_f      text,
    resp_wkr        text,
    recorded_time   text NOT NULL DEFAULT to_char(clock_timestamp(), 'YYYY-MM-DDHH24:MI:SS'),
    CONSTRAINT offline_scan_key_pk PRIMARY KEY (scan_key)
);

-- =====================================================================================
-- Workload and statistics
-- =====================================================================================

-- Workload per job type, worker and day (oper_date "yyyy-mm-dd"): kind and volume are
-- the two counts, amount the money handled. XT_wkr_job_qty adds to the day's row.
CREATE TABLE wkr_job_qty (
    wkr_no_f        text NOT NULL,
    oper_date       text NOT NULL,
    job_type        text NOT NULL,
    kind            integer DEFAULT 0,
    volume          integer DEFAULT 0,
    amount          numeric(12,2) DEFAULT 0,
    CONSTRAINT wkr_job_qty_pk PRIMARY KEY (wkr_no_f, oper_date, job_type)
);
CREATE INDEX wkr_job_qty_date_like_idx ON wkr_job_qty (wkr_no_f, oper_date text_pattern_ops);

-- Classification statistics templates (codes beginning with S or U are offered).
CREATE TABLE stat_type_code (
    stat_type_code  text NOT NULL,
    stat_type_name  text,
    CONSTRAINT stat_type_code_pk PRIMARY KEY (stat_type_code)
);

-- The classes (sub-statistics) of a template.
CREATE TABLE stat_type_detl (
    stat_type_code  text NOT NULL,
    sub_stat_code   text NOT NULL,
    sub_stat_name   text,
    code_use_flag   text DEFAULT '1',
    CONSTRAINT stat_type_detl_pk PRIMARY KEY (stat_type_code, sub_stat_code)
);

-- What a class is made of: call numbers of scheme cls_id matching comp_cls, a list of
-- prefixes and ranges low~high separated by ",".
CREATE TABLE stat_cls_comp (
    stat_type_code  text NOT NULL,
    sub_stat_code   text NOT NULL,
    cls_id          text NOT NULL,
    comp_cls        text NOT NULL,
    CONSTRAINT stat_cls_comp_pk PRIMARY KEY (stat_type_code, sub_stat_code, cls_id, comp_cls)
);

-- Statistics templates by scheme, as offered to the other statistics modules.
CREATE TABLE stat_template (
    template_no     text NOT NULL,
    template_name   text,
    cls_id          text NOT NULL,
    remark          text,
    CONSTRAINT stat_template_pk PRIMARY KEY (template_no, cls_id)
);

-- tj_tmp_rate, what the rankings read after TJ_SORT.GetGroupData (per class the ranked titles
-- with their copies, readings and rate, row_num 1..n), is a view over the ranking the call left
-- in the caller's transaction; sql/procedures.sql defines it with the package.

-- Summaries of the reading history for the classification statistics, so that a year of
-- events is counted without reading the events. The triggers of sql/procedures.sql keep
-- them exact in the transaction that changes what they summarise (history rows, readers
-- and their types, the composition of the templates); rows may fall to 0 events and stay.

-- Every (scheme, call number) pair a book event of the history carries, NULLs included.
CREATE TABLE tj_class_key (
    cls_id          text,
    call_no         text,
    CONSTRAINT tj_class_key_uk UNIQUE NULLS NOT DISTINCT (cls_id, call_no)
);

-- The classes of the stored templates (stat_cls_comp) each pair belongs to.
CREATE TABLE tj_class_member (
    stat_type_code  text NOT NULL,
    sub_stat_code   text NOT NULL,
    cls_id          text NOT NULL,
    call_no         text NOT NULL,
    CONSTRAINT tj_class_member_pk PRIMARY KEY (cls_id, call_no, stat_type_code, sub_stat_code)
);
CREATE INDEX tj_class_member_class_idx ON tj_class_member (stat_type_code, sub_stat_code);

-- Reader-book events of readers that exist, per stored-template class, day ("yyyy-mm-dd"),
-- room and the reader's current type.
CREATE TABLE tj_class_day (
    stat_type_code  text NOT NULL,
    sub_stat_code   text NOT NULL,
    day             text NOT NULL,
    location_f      text,
    redr_type_code  text,
    events          bigint NOT NULL,
    CONSTRAINT tj_class_day_uk UNIQUE NULLS NOT DISTINCT
        (stat_type_code, sub_stat_code, day, location_f, redr_type_code)
);

-- The same for every reader-book event, whatever its class.
CREATE TABLE tj_total_day (
    day             text NOT NULL,
    location_f      text,
    redr_type_code  text,
    events          bigint NOT NULL,
    CONSTRAINT tj_total_day_uk UNIQUE NULLS NOT DISTINCT (day, location_f, redr_type_code)
);

-- Reader-book events of readers that exist per year, room, pair and the reader's current type
-- (the classes of any template over a year).
CREATE TABLE tj_type_year (
    year            text NOT NULL,
    location_f      text,
    cls_id          text,
    call_no         text,
    redr_type_code  text,
    events          bigint NOT NULL,
    CONSTRAINT tj_type_year_uk UNIQUE NULLS NOT DISTINCT (year, location_f, cls_id, call_no, redr_type_code)
);

-- Book events per history table, year, room, pair and title.
CREATE TABLE tj_title_year (
    hist_table      text NOT NULL,
    year            text NOT NULL,
    location_f      text,
    cls_id          text,
    call_no         text,
    marc_rec_no     text,
    events          bigint NOT NULL,
    CONSTRAINT tj_title_year_uk UNIQUE NULLS NOT DISTINCT
        (hist_table, year, location_f, cls_id, call_no, marc_rec_no)
);

-- The statistics restrict the history by substr(date_time, 1, n); without statistics on
-- those expressions the planner takes a year for a few thousand rows and joins row by row.
CREATE STATISTICS redr_book_stat_hist_period_stat
    ON substr(date_time, 1, 4), substr(date_time, 1, 7), substr(date_time, 1, 10) FROM redr_book_stat_hist;
CREATE STATISTICS book_use_stat_hist_period_stat
    ON substr(date_time, 1, 4), substr(date_time, 1, 7), substr(date_time, 1, 10) FROM book_use_stat_hist;
CREATE STATISTICS reader_stat_hist_period_stat
    ON substr(date_time, 1, 4), substr(date_time, 1, 7), substr(date_time, 1, 10) FROM reader_stat_hist;

-- The reader type of a card without reading the reader rows (statistics by reader type).
CREATE INDEX reader_type_of_cert_idx ON reader (cert_id) INCLUDE (redr_type_code);

-- Reader visits per history (reader_stat_hist, redr_book_stat_hist), year ("yyyy", period_len
-- 4) or month ("yyyy-mm", period_len 7), room (all_rooms: every room together, location_f
-- empty) and the current type, unit, grade and department of readers that exist: how many
-- distinct readers came and how many events they had. Kept exact by the triggers of
-- sql/procedures.sql; rows may fall to 0 and stay.
CREATE TABLE tj_visit_group (
    hist_table      text NOT NULL,
    period_len      integer NOT NULL,
    period          text NOT NULL,
    all_rooms       boolean NOT NULL,
    location_f      text,
    redr_type_code  text,
    dept            text,
    code01          text,
    r_dep_id        text,
    readers         bigint NOT NULL,
    events          bigint NOT NULL,
    CONSTRAINT tj_visit_group_uk UNIQUE NULLS NOT DISTINCT
        (hist_table, period_len, period, all_rooms, location_f, redr_type_code, dept, code01, r_dep_id)
);

-- The rankings count the copies of every title and call number: the index gives them in order
-- without reading the items.
CREATE INDEX item_title_copies_idx ON item (marc_rec_no, call_no, location);

-- Book events per history table, year and title, in each room (all_rooms false) and in every
-- room together (all_rooms true, location_f empty): the rankings of a year walk the titles from
-- the most read down and stop once every class has its top. Kept exact by the triggers of
-- sql/procedures.sql; rows may fall to 0 and stay.
CREATE TABLE tj_title_total (
    hist_table      text NOT NULL,
    year            text NOT NULL,
    all_rooms       boolean NOT NULL,
    location_f      text,
    marc_rec_no     text,
    events          bigint NOT NULL,
    CONSTRAINT tj_title_total_uk UNIQUE NULLS NOT DISTINCT (hist_table, year, all_rooms, location_f, marc_rec_no)
);
CREATE INDEX tj_title_total_rank_idx ON tj_title_total (hist_table, year, all_rooms, location_f, events DESC, marc_rec_no);
-- A title's rows of the year summary, for the titles such a walk has reached (read from the index).
CREATE INDEX tj_title_year_title_idx ON tj_title_year (hist_table, year, marc_rec_no)
    INCLUDE (location_f, cls_id, call_no, events);

-- The use list restricts the logs by substr(date_time, 1, n) too.
CREATE STATISTICS reader_book_stat_period_stat
    ON substr(date_time, 1, 4), substr(date_time, 1, 7), substr(date_time, 1, 10) FROM reader_book_stat;
CREATE STATISTICS book_use_stat_period_stat
    ON substr(use_date_time, 1, 4), substr(use_date_time, 1, 7), substr(use_date_time, 1, 10) FROM book_use_stat;

COMMIT;
