-- Base data of the library database that does not depend on any particular library:
-- the message texts the desk shows, the system parameters, the shared code tables,
-- the classification statistics templates and the job types of the reading-room module.
-- The demo library (locations, workers, reader types, readers, items, rules, history)
-- lives in demo.sql and refers to the codes defined here.
--
-- Loaded once into a fresh database after schema.sql and procedures.sql. Rows that are
-- already there are left alone, so a second load changes nothing.

BEGIN;

-- ---------------------------------------------------------------------------------------
-- Message texts.
--
-- msg_id is six characters: kind letter (E error, I information, W warning, Q question,
-- S question with OK as default), two letters for the area (CM common, LT reading desk,
-- TJ statistics, SC system maintenance, BM cataloguing, CF files) and three digits.
-- "%S" is replaced by the text the caller appends to the code (a name, a date, a price);
-- "\N" breaks the line in the message box. Only the first of each is replaced.
-- ---------------------------------------------------------------------------------------
INSERT INTO msg_mst (msg_id, msg_content) VALUES
  -- database errors reported by the error reporter
  ('ECM002', '数据库操作出现未知错误，操作未能完成！\N详细信息已写入日志文件。'),
  ('ECM010', '数据重复：要保存的记录与已有记录的关键字相同，不能保存！'),
  ('ECM011', '该记录已被其他数据引用，不能删除！'),
  ('ECM012', '数据库操作失败，操作未能完成！\N详细信息已写入日志文件。'),
  ('ECM204', '程序调用的参数无效，操作未能完成！'),
  ('ECM205', '数值溢出，操作未能完成！'),
  ('ECM206', '程序运行出错，操作未能完成！\N详细信息已写入日志文件。'),

  -- login, password change and rights
  ('ECM500', '该工作人员不存在，请检查输入的名称！'),
  ('ECM501', '该工作人员已被停用，不能登录！'),
  ('ECM502', '口令错误，请重新输入！'),
  ('ECM503', '本工作站不在您被授权使用的工作站中，不能在此登录！'),
  ('ECM504', '您没有执行此项操作的权限！'),
  ('ECM510', '新口令与确认口令不一致，请重新输入！'),
  ('QCM500', '确定要退出流通阅览系统吗？'),
  ('QCM501', '确定要退出登录吗？'),

  -- local reader selection
  ('QCM002', '确定保存本地读者的设置吗？'),
  ('ICM002', '本地读者设置已保存，只有本地读者可以进入本阅览室。'),
  ('WCM001', '将放弃尚未保存的修改，恢复原来的设置，是否继续？'),

  -- the reading-room desk
  ('ILT003', '本工作站没有设置阅览室馆藏地，不能使用流通阅览系统！\N请与系统管理员联系。'),
  ('ELT101', '读者证%S不存在！\N请核对读者证条码号。'),
  ('ELT102', '该读者已经注销，不能使用！\N注销日期：%S'),
  ('ELT103', '该读者证已失效（注销），不能使用！'),
  ('ELT104', '该读者证已经挂失，不能使用！\N挂失日期：%S'),
  ('ELT105', '该读者证不在有效期内！\N有效期：%S'),
  ('ELT106', '该读者有未处理的违章记录，请先处理违章！'),
  ('ELT107', '该读者的欠款已达到允许的最大欠款额（%S元），请及时交清欠款！'),
  ('ELT108', '该读者有超期未还的复印外借图书，请先归还！'),
  ('ELT111', '该书不属于本馆藏地，不能在此处理！\N请到以下馆藏地办理：%S'),
  ('ELT113', '该书已经借出，不能再借！'),
  ('ELT119', '没有找到复印外借使用的流通规则！\N请在“系统参数设置”中选择本地适用规则。'),
  ('ELT120', '该读者在此馆藏地的复印外借已达到最大册数，不能再借！'),
  ('ELT121', '该读者在此馆藏地借阅此流通类型的图书已达到限借册数，不能再借！'),
  ('ELT130', '该条码号的图书不存在！\N请核对图书条码号。'),
  ('ELT131', '该书不能在本馆藏地归还！\N可归还的馆藏地：%S'),
  ('ELT132', '该书没有借出记录！'),
  ('ILT102', '该书的书目记录已经停用，请将图书交有关部门处理。'),
  ('ILT104', '该书价格较高（%S元），请提醒读者妥善保管。'),
  ('ILT105', '该书价格较高（%S元），请仔细检查图书是否完好。'),
  ('QLT101', '该条码号的图书不存在！\N是否继续扫描其他图书？'),
  ('WLT284', '确定按“实罚款”的金额结算所列超期罚款吗？'),
  ('WLT285', '确定免除所选的超期罚款吗？'),

  -- reader lookup
  ('ELT201', '没有找到符合条件的读者！'),
  ('ELT205', '没有找到该条码号的读者证！'),

  -- reading log, statistics and workload
  ('ISC102', '历史记录已删除！'),
  ('ITJ006', '统计期间内没有符合条件的阅览记录！'),
  ('ITJ008', '没有找到在本模块工作的工作人员！'),

  -- book search
  ('EBM003', '请至少输入一个检索条件！'),

  -- files
  ('WCF011', '文件已经存在，是否覆盖？')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- System parameters. The value is text; the desk converts it by the parameter's number.
-- ---------------------------------------------------------------------------------------
INSERT INTO sys_comm_para (sys_para_code, sys_para_value, sys_para_name) VALUES
  -- title of every message box and of the main window's status bar
  ('1',  '流通阅览',        '系统标题'),
  -- reserved for the other modules of the suite; the desk reads them but does not act on them
  ('3',  '1',               '保留参数(开关)'),
  ('4',  '0',               '保留参数(开关)'),
  -- inactivity time of reader and book registration, in milliseconds: after two minutes
  -- without a scan the admitted reader is dropped (0 or empty: never)
  ('5',  '120000',          '读者图书登记无操作自动退出时间(毫秒)'),
  -- price (yuan) from which a notice is shown when an item is lent or returned
  ('6',  '300',             '贵重图书提示价格(元)'),
  -- "1": an unknown barcode in photocopy lending asks a question instead of an error box
  ('7',  '0',               '外借时条码不存在以询问方式提示'),
  ('8',  '0',               '保留参数(数值)'),
  -- rounding of overdue charges: 0 none (whole fen), 1 cut down to jiao,
  -- 2 rounded half up to jiao
  ('9',  '2',               '罚款金额舍入方式(0不处理,1舍去分,2分位四舍五入)'),
  ('10', '0',               '保留参数(数值)'),
  ('11', '0',               '保留参数(开关)'),
  ('12', '0',               '保留参数(数值)'),
  -- library name, library code
  ('14', '图书馆,000001',   '馆名,馆代码'),
  -- display text; "_" stands for a blank
  ('20', '流通阅览_读者服务', '显示文字(下划线表示空格)'),
  -- the desk control codes scanned instead of a barcode: "end of reader;copy return"
  ('22', 'LTEND;LTRET',     '阅览控制条码(结束读者;复印归还)'),
  ('23', '0',               '保留参数(开关)'),
  -- reserved; blank means not set
  ('28', '',                '保留参数(代码,空表示未设置)'),
  ('29', '0',               '保留参数(开关)')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Circulation types. '99' is kept for old data but no longer in use: it has no name.
-- ---------------------------------------------------------------------------------------
INSERT INTO circ_type_code (circ_type_code, circ_type_name, remark, code_use_flag) VALUES
  ('01', '中文图书',   '普通中文图书，可外借', '1'),
  ('02', '外文图书',   '普通外文图书，可外借', '1'),
  ('03', '工具书',     '字典、词典、百科全书等，仅限阅览', '1'),
  ('04', '期刊合订本', '过刊合订本，仅限阅览', '1'),
  ('05', '报纸合订本', '报纸合订本，仅限阅览', '1'),
  ('06', '视听资料',   '光盘、磁带等随书及单独资料', '1'),
  ('07', '古籍',       '线装古籍，仅限阅览', '1'),
  ('08', '保存本',     '样本书库保存本，不外借', '1'),
  ('09', '教学参考书', '课程指定参考书，短期外借', '1'),
  ('99', '旧流通类型', '已停止使用', '0')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Classification schemes. marc_field names the MARC field and subfield that holds the
-- class number of the scheme.
-- ---------------------------------------------------------------------------------------
INSERT INTO classifica_code (cls_id, cls_name, marc_field, code_use_flag) VALUES
  ('1', '中国图书馆分类法',         '690a', '1'),
  ('2', '中国科学院图书馆图书分类法', '692a', '1'),
  ('3', '中国人民大学图书馆图书分类法', '694a', '1'),
  ('4', '杜威十进分类法',           '676a', '1'),
  ('5', '美国国会图书馆分类法',     '680a', '1'),
  ('6', '国际十进分类法',           '675a', '0')
ON CONFLICT DO NOTHING;

-- Circulation type that items of a class usually get.
INSERT INTO circ_type_sort (cls_id, circ_type_code, class) VALUES
  ('1', '01', 'A'),
  ('1', '01', 'B'),
  ('1', '01', 'I'),
  ('1', '01', 'TP'),
  ('1', '03', 'Z'),
  ('1', '07', 'K2'),
  ('4', '02', '0'),
  ('5', '02', 'A')
ON CONFLICT DO NOTHING;

-- The five basic divisions of the Chinese Library Classification.
INSERT INTO cls_group (grp_code, grp_name) VALUES
  ('1', '马克思主义、列宁主义、毛泽东思想、邓小平理论'),
  ('2', '哲学、宗教'),
  ('3', '社会科学'),
  ('4', '自然科学'),
  ('5', '综合性图书')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Classification statistics templates. Codes beginning with S or U are offered by the
-- reading statistics; a composition pattern is a prefix or a range low~high.
-- ---------------------------------------------------------------------------------------
INSERT INTO stat_type_code (stat_type_code, stat_type_name) VALUES
  ('S01', '中图法二十二大类'),
  ('S02', '中图法五大部类'),
  ('U01', '计算机与信息技术类'),
  ('B01', '编目工作量分类统计')
ON CONFLICT DO NOTHING;

INSERT INTO stat_type_detl (stat_type_code, sub_stat_code, sub_stat_name, code_use_flag) VALUES
  ('S01', 'A', '马克思主义、列宁主义、毛泽东思想、邓小平理论', '1'),
  ('S01', 'B', '哲学、宗教', '1'),
  ('S01', 'C', '社会科学总论', '1'),
  ('S01', 'D', '政治、法律', '1'),
  ('S01', 'E', '军事', '1'),
  ('S01', 'F', '经济', '1'),
  ('S01', 'G', '文化、科学、教育、体育', '1'),
  ('S01', 'H', '语言、文字', '1'),
  ('S01', 'I', '文学', '1'),
  ('S01', 'J', '艺术', '1'),
  ('S01', 'K', '历史、地理', '1'),
  ('S01', 'N', '自然科学总论', '1'),
  ('S01', 'O', '数理科学和化学', '1'),
  ('S01', 'P', '天文学、地球科学', '1'),
  ('S01', 'Q', '生物科学', '1'),
  ('S01', 'R', '医药、卫生', '1'),
  ('S01', 'S', '农业科学', '1'),
  ('S01', 'T', '工业技术', '1'),
  ('S01', 'U', '交通运输', '1'),
  ('S01', 'V', '航空、航天', '1'),
  ('S01', 'X', '环境科学、安全科学', '1'),
  ('S01', 'Z', '综合性图书', '1'),
  ('S02', '01', '马克思主义、列宁主义、毛泽东思想、邓小平理论', '1'),
  ('S02', '02', '哲学、宗教', '1'),
  ('S02', '03', '社会科学', '1'),
  ('S02', '04', '自然科学', '1'),
  ('S02', '05', '综合性图书', '1'),
  ('U01', '01', '计算机技术', '1'),
  ('U01', '02', '无线电电子学、电信技术', '1'),
  ('U01', '03', '自动化技术', '1'),
  ('U01', '04', '旧分组（不再统计）', '0')
ON CONFLICT DO NOTHING;

INSERT INTO stat_cls_comp (stat_type_code, sub_stat_code, cls_id, comp_cls) VALUES
  ('S01', 'A', '1', 'A'),
  ('S01', 'B', '1', 'B'),
  ('S01', 'C', '1', 'C'),
  ('S01', 'D', '1', 'D'),
  ('S01', 'E', '1', 'E'),
  ('S01', 'F', '1', 'F'),
  ('S01', 'G', '1', 'G'),
  ('S01', 'H', '1', 'H'),
  ('S01', 'I', '1', 'I'),
  ('S01', 'J', '1', 'J'),
  ('S01', 'K', '1', 'K'),
  ('S01', 'N', '1', 'N'),
  ('S01', 'O', '1', 'O'),
  ('S01', 'P', '1', 'P'),
  ('S01', 'Q', '1', 'Q'),
  ('S01', 'R', '1', 'R'),
  ('S01', 'S', '1', 'S'),
  ('S01', 'T', '1', 'T'),
  ('S01', 'U', '1', 'U'),
  ('S01', 'V', '1', 'V'),
  ('S01', 'X', '1', 'X'),
  ('S01', 'Z', '1', 'Z'),
  ('S02', '01', '1', 'A'),
  ('S02', '02', '1', 'B'),
  ('S02', '03', '1', 'C~K'),
  ('S02', '04', '1', 'N~X'),
  ('S02', '05', '1', 'Z'),
  ('U01', '01', '1', 'TP3'),
  ('U01', '01', '4', '004~006'),
  ('U01', '02', '1', 'TN'),
  ('U01', '03', '1', 'TP1,TP2')
ON CONFLICT DO NOTHING;

INSERT INTO stat_template (template_no, template_name, cls_id) VALUES
  ('S01', '中图法二十二大类', '1'),
  ('S02', '中图法五大部类', '1'),
  ('U01', '计算机与信息技术类', '1')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Document types, carriers, acquisition modes.
-- ---------------------------------------------------------------------------------------
INSERT INTO doc_type_code (doc_type_code, doc_type_name, code_use_flag) VALUES
  ('01', '中文图书', '1'),
  ('02', '外文图书', '1'),
  ('03', '中文期刊', '1'),
  ('04', '外文期刊', '1'),
  ('05', '报纸',     '1'),
  ('06', '学位论文', '1'),
  ('07', '会议文献', '1'),
  ('08', '视听资料', '1'),
  ('09', '电子资源', '1'),
  ('10', '古籍',     '1'),
  ('11', '地图',     '1'),
  ('99', '其他文献', '0')
ON CONFLICT DO NOTHING;

INSERT INTO carrier_code (carrier_code, carrier_name, code_use_flag) VALUES
  ('01', '纸质',     '1'),
  ('02', '光盘',     '1'),
  ('03', '录音带',   '1'),
  ('04', '录像带',   '1'),
  ('05', '缩微胶片', '1'),
  ('06', '电子文件', '1'),
  ('07', '软磁盘',   '0')
ON CONFLICT DO NOTHING;

INSERT INTO get_mode_code (get_mode_code, get_mode_name, code_use_flag) VALUES
  ('01', '购买', '1'),
  ('02', '赠送', '1'),
  ('03', '交换', '1'),
  ('04', '呈缴', '1'),
  ('05', '调拨', '1'),
  ('06', '复制', '1'),
  ('07', '征集', '1')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Languages (MARC language codes, upper case) and countries (ISO 3166 codes).
-- ---------------------------------------------------------------------------------------
INSERT INTO language_code (lang_code, lang_name, code_use_flag) VALUES
  ('CHI', '中文',     '1'),
  ('ENG', '英文',     '1'),
  ('JPN', '日文',     '1'),
  ('RUS', '俄文',     '1'),
  ('GER', '德文',     '1'),
  ('FRE', '法文',     '1'),
  ('KOR', '朝鲜文',   '1'),
  ('SPA', '西班牙文', '1'),
  ('ITA', '意大利文', '1'),
  ('ARA', '阿拉伯文', '1'),
  ('TIB', '藏文',     '1'),
  ('MON', '蒙古文',   '1'),
  ('UIG', '维吾尔文', '1'),
  ('MUL', '多语种',   '1'),
  ('LAT', '拉丁文',   '0')
ON CONFLICT DO NOTHING;

INSERT INTO country_code (country_code, country_name, code_use_flag) VALUES
  ('CN', '中国',     '1'),
  ('HK', '中国香港', '1'),
  ('MO', '中国澳门', '1'),
  ('TW', '中国台湾', '1'),
  ('US', '美国',     '1'),
  ('GB', '英国',     '1'),
  ('JP', '日本',     '1'),
  ('KR', '韩国',     '1'),
  ('DE', '德国',     '1'),
  ('FR', '法国',     '1'),
  ('RU', '俄罗斯',   '1'),
  ('IT', '意大利',   '1'),
  ('ES', '西班牙',   '1'),
  ('NL', '荷兰',     '1'),
  ('CA', '加拿大',   '1'),
  ('AU', '澳大利亚', '1'),
  ('SG', '新加坡',   '1'),
  ('IN', '印度',     '1'),
  ('XX', '国别不详', '1'),
  ('SU', '苏联',     '0')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Lending grades (of readers and of call numbers), violation codes, reader departments.
-- ---------------------------------------------------------------------------------------
INSERT INTO lend_grd (lend_grd, remark, code_use_flag) VALUES
  ('01', '一级：可借阅全部文献', '1'),
  ('02', '二级：可借阅普通文献', '1'),
  ('03', '三级：仅限阅览',       '1'),
  ('04', '四级：特藏文献',       '1'),
  ('09', '旧借阅等级',           '0')
ON CONFLICT DO NOTHING;

INSERT INTO violate_code (volt_code, volt_name, code_use_flag) VALUES
  ('01', '超期还书',         '1'),
  ('02', '遗失图书',         '1'),
  ('03', '污损图书',         '1'),
  ('04', '撕毁、裁割图书',   '1'),
  ('05', '冒用他人证件',     '1'),
  ('06', '私自携书出馆',     '1'),
  ('07', '扰乱阅览秩序',     '1'),
  ('08', '复印外借超期',     '1'),
  ('09', '其他违章',         '1'),
  ('99', '旧违章类型',       '0')
ON CONFLICT DO NOTHING;

INSERT INTO department (dep_id, dep_name, use_flag) VALUES
  ('01', '文学院',             '1'),
  ('02', '历史学院',           '1'),
  ('03', '外国语学院',         '1'),
  ('04', '法学院',             '1'),
  ('05', '经济管理学院',       '1'),
  ('06', '数学科学学院',       '1'),
  ('07', '物理学院',           '1'),
  ('08', '化学与化工学院',     '1'),
  ('09', '生命科学学院',       '1'),
  ('10', '信息科学与技术学院', '1'),
  ('11', '医学院',             '1'),
  ('12', '研究生院',           '1'),
  ('20', '机关各部门',         '1'),
  ('30', '校外读者',           '1'),
  ('99', '已撤销院系',         '0')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- Job types of the reading-room module (workload statistics list "4%").
-- ---------------------------------------------------------------------------------------
INSERT INTO job_type (job_type, job_name) VALUES
  ('405', '图书计次'),
  ('415', '超期罚款'),
  ('419', '罚款减免'),
  ('422', '读者登到'),
  ('423', '读者图书登记'),
  ('424', '复印外借'),
  ('425', '复印归还')
ON CONFLICT DO NOTHING;

-- ---------------------------------------------------------------------------------------
-- MARC index groups, per MARC format (marc_type_id 'C' CN MARC, 'U' US MARC, as in
-- marc.marc_type) for bibliographic use (use_type '1'). marc_field lists the field and
-- subfield paths to try, in order, separated by ",". The groups also give the
-- bibliographic elements shown for an item: 01 title, 02 responsible person,
-- 08 publisher, and so on.
-- ---------------------------------------------------------------------------------------
INSERT INTO marc_idx_para (marc_type_id, use_type, marc_idx_grp, marc_idx_grp_name, stopword_flag, marc_field) VALUES
  ('C', '1', '01', '题名',     '1', '200a'),
  ('C', '1', '02', '责任者',   '0', '200f,701a,711a,702a'),
  ('C', '1', '03', '主题词',   '0', '606a,600a,601a,607a'),
  ('C', '1', '04', '分类号',   '0', '690a,692a,694a'),
  ('C', '1', '05', 'ISBN',     '0', '010a'),
  ('C', '1', '06', 'ISSN',     '0', '011a'),
  ('C', '1', '07', '丛编题名', '1', '225a'),
  ('C', '1', '08', '出版者',   '0', '210c'),
  ('C', '1', '09', '出版年',   '0', '210d'),
  ('C', '1', '10', '出版地',   '0', '210a'),
  ('U', '1', '01', '题名',     '1', '245a'),
  ('U', '1', '02', '责任者',   '0', '245c,100a,110a,700a'),
  ('U', '1', '03', '主题词',   '0', '650a,600a,610a,651a'),
  ('U', '1', '04', '分类号',   '0', '093a,050a,082a'),
  ('U', '1', '05', 'ISBN',     '0', '020a'),
  ('U', '1', '06', 'ISSN',     '0', '022a'),
  ('U', '1', '07', '丛编题名', '1', '490a,440a'),
  ('U', '1', '08', '出版者',   '0', '260b,264b'),
  ('U', '1', '09', '出版年',   '0', '260c,264c'),
  ('U', '1', '10', '出版地',   '0', '260a,264a')
ON CONFLICT DO NOTHING;

-- Words left out of the title index: '1' English articles and particles, '2' Chinese.
INSERT INTO stopword (stopword_type, stopword_cont) VALUES
  ('1', 'A'),
  ('1', 'AN'),
  ('1', 'THE'),
  ('1', 'OF'),
  ('1', 'AND'),
  ('1', 'IN'),
  ('1', 'ON'),
  ('1', 'FOR'),
  ('2', '的'),
  ('2', '之'),
  ('2', '与'),
  ('2', '和')
ON CONFLICT DO NOTHING;

COMMIT;
