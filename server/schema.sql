-- Business database of one company database (one SQLite file per database
-- name, see SimpleSql.h): the sales, receivable, purchase and manufacturing
-- documents the order tracking query reads, the masters they name, and the
-- system tables of the suite (program registry, users, system parameters,
-- unit conversions, message catalogue) and the data dictionary of field
-- captions, whose rows are written here with the tables.
--
-- Column conventions, chosen once for the whole database:
--   CHAR(n)          blank-padded to n characters by whoever writes the row
--                    (the demo generator pads from the declared width);
--                    document type CHAR(4), document number CHAR(11), line
--                    sequence CHAR(4), dates CHAR(8) "YYYYMMDD", confirm and
--                    state flags CHAR(1), document kind codes CHAR(2).
--   VARCHAR(n)       codes of masters and units, stored as given (not padded):
--                    customer VARCHAR(10), item VARCHAR(20), unit VARCHAR(4),
--                    project VARCHAR(20), process VARCHAR(4), work centre
--                    VARCHAR(10), currency VARCHAR(4).
--   NVARCHAR(n)      names and descriptions, Chinese text.
--   NUMERIC(16,3)    quantities; INTEGER for counts and digits.
-- Every text column carries COLLATE RTRIM, so that comparisons, joins,
-- GROUP BY and ORDER BY ignore trailing blanks as SQL Server does with its
-- padded CHAR columns. Keys written as right-trimmed expressions in the
-- program's statements (Rtrim(TH014)=...) are served by expression indexes
-- on exactly those expressions.
--
-- Maintained business tables carry the suite's system fields COMPANY,
-- CREATOR, USR_GROUP, CREATE_DATE, MODIFIER, MODI_DATE and FLAG.

PRAGMA foreign_keys = OFF;

-- ---------------------------------------------------------------- masters

-- Customers.
CREATE TABLE COPMA (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MA001       VARCHAR(10)   COLLATE RTRIM NOT NULL,             -- customer code
  MA002       NVARCHAR(20)  COLLATE RTRIM NOT NULL DEFAULT '',  -- short name
  MA003       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- full name
  PRIMARY KEY (MA001)
);

-- Items.
CREATE TABLE INVMB (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MB001       VARCHAR(20)   COLLATE RTRIM NOT NULL,             -- item code
  MB002       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- name
  MB003       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- item details (规格)
  MB004       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- stock unit
  PRIMARY KEY (MB001)
);

-- Unit conversions: one MD002 equals MD003 / MD004 stock units of item MD001.
-- A row with an empty MD001 applies to every item whose stock unit is MD005.
CREATE TABLE INVMD (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MD001       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item ('' = any)
  MD002       VARCHAR(4)    COLLATE RTRIM NOT NULL,             -- unit
  MD003       NUMERIC(16,6) NOT NULL,                           -- numerator
  MD004       NUMERIC(16,6) NOT NULL,                           -- denominator
  MD005       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- stock unit (general rows)
  PRIMARY KEY (MD001, MD002, MD005)
);

-- Document types and their kinds (MQ003: '21' sales order, '23' delivery,
-- '24' return, '61' invoice, '63' receipt, '6C' advance receipt, '6D' refund,
-- '31' requisition, '33' purchase order, '51' work order, '68' write-off).
CREATE TABLE CMSMQ (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MQ001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- document type
  MQ002       NVARCHAR(20)  COLLATE RTRIM NOT NULL DEFAULT '',  -- name
  MQ003       CHAR(2)       COLLATE RTRIM NOT NULL DEFAULT '  ',-- kind
  PRIMARY KEY (MQ001)
);

-- Processes.
CREATE TABLE CMSMW (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MW001       VARCHAR(4)    COLLATE RTRIM NOT NULL,             -- process code
  MW002       NVARCHAR(30)  COLLATE RTRIM NOT NULL DEFAULT '',  -- name
  PRIMARY KEY (MW001)
);

-- Projects.
CREATE TABLE CMSNO (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  NO001       VARCHAR(20)   COLLATE RTRIM NOT NULL,             -- project code
  NO002       NVARCHAR(40)  COLLATE RTRIM NOT NULL DEFAULT '',  -- name
  PRIMARY KEY (NO001)
);

-- Currencies and their decimal digits (unit price, amount, unit cost, cost).
CREATE TABLE CMSMF (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  MF001       VARCHAR(4)    COLLATE RTRIM NOT NULL,             -- currency code
  MF002       NVARCHAR(20)  COLLATE RTRIM NOT NULL DEFAULT '',  -- name
  MF003       INTEGER       NOT NULL DEFAULT 0,
  MF004       INTEGER       NOT NULL DEFAULT 0,
  MF005       INTEGER       NOT NULL DEFAULT 0,
  MF006       INTEGER       NOT NULL DEFAULT 0,
  PRIMARY KEY (MF001)
);

-- ------------------------------------------------------------ sales orders

CREATE TABLE COPTC (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TC001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- order type
  TC002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- order number
  TC003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- order date
  TC004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  TC012       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer's order number
  TC027       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TC077       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- project
  PRIMARY KEY (TC001, TC002)
);
CREATE INDEX COPTC_DATE     ON COPTC (TC003);
-- the order range condition compares type and number together: (TC001 + TC002)
CREATE INDEX COPTC_KEY      ON COPTC ((TC001 || TC002) COLLATE RTRIM);
CREATE INDEX COPTC_CUSTOMER ON COPTC (TC004);

CREATE TABLE COPTD (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TD001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- order type
  TD002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- order number
  TD003       CHAR(4)       COLLATE RTRIM NOT NULL,             -- line sequence
  TD004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TD005       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- item name
  TD006       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- item details (规格)
  TD008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity ordered
  TD010       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TD013       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- planned delivery
  TD016       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- closed: N, Y, y (by hand)
  PRIMARY KEY (TD001, TD002, TD003)
);
CREATE INDEX COPTD_DELIVERY ON COPTD (TD013);

-- ------------------------------------------------------ sales deliveries

CREATE TABLE COPTG (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TG001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- delivery type
  TG002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- delivery number
  TG003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- delivery date
  TG004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  PRIMARY KEY (TG001, TG002)
);

CREATE TABLE COPTH (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TH001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TH002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TH003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TH004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TH008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity sold
  TH009       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TH014       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order type
  TH015       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- order number
  TH016       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order line
  TH020       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TH024       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- free / spare quantity
  TH027       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- settlement type
  TH028       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- settlement number
  TH029       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- settlement line
  PRIMARY KEY (TH001, TH002, TH003)
);
CREATE INDEX COPTH_ORDER ON COPTH (RTRIM(TH014), RTRIM(TH015), RTRIM(TH016));

-- ---------------------------------------------------------- sales returns

CREATE TABLE COPTI (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TI001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- return type
  TI002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- return number
  TI003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- return date
  TI004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  PRIMARY KEY (TI001, TI002)
);

CREATE TABLE COPTJ (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TJ001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TJ002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TJ003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TJ004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TJ007       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity returned
  TJ008       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TJ018       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order type
  TJ019       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- order number
  TJ020       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order line
  TJ021       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TJ025       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- settlement type
  TJ026       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- settlement number
  TJ027       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- settlement line
  TJ068       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- free / spare quantity returned
  PRIMARY KEY (TJ001, TJ002, TJ003)
);
CREATE INDEX COPTJ_ORDER ON COPTJ (RTRIM(TJ018), RTRIM(TJ019), RTRIM(TJ020));

-- ------------------------------------------ receivable invoices (settlements)

CREATE TABLE ACRTA (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TA001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- invoice type
  TA002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- invoice number
  TA003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- invoice date
  TA004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  PRIMARY KEY (TA001, TA002)
);

-- TB004 source kind: '1' delivery, '2' return, '6' advance (source is the
-- sales order), '9' offset of an advance invoice (source is that invoice).
CREATE TABLE ACRTB (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TB001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TB002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TB003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TB004       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT '1', -- source kind
  TB005       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- source type
  TB006       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- source number
  TB007       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- source line
  TB008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- amount
  TB012       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  PRIMARY KEY (TB001, TB002, TB003)
);
CREATE INDEX ACRTB_SOURCE ON ACRTB (TB004, RTRIM(TB005), RTRIM(TB006), RTRIM(TB007));

-- ---------------------------------------------- receipts, refunds, advances

-- TK017/TK018: the sales order an advance receipt was taken for.
CREATE TABLE ACRTK (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TK001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- receipt type
  TK002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- receipt number
  TK003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- receipt date
  TK004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  TK017       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order type
  TK018       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- order number
  TK020       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  PRIMARY KEY (TK001, TK002)
);
CREATE INDEX ACRTK_ORDER ON ACRTK (RTRIM(TK017), RTRIM(TK018));

-- TL005..TL007: the invoice line paid; an empty TL007 pays the whole invoice.
CREATE TABLE ACRTL (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TL001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TL002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TL003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TL004       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT '1', -- source kind ('1' invoice)
  TL005       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- invoice type
  TL006       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- invoice number
  TL007       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- invoice line
  TL008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- amount
  PRIMARY KEY (TL001, TL002, TL003)
);
CREATE INDEX ACRTL_SOURCE ON ACRTL (RTRIM(TL005), RTRIM(TL006), RTRIM(TL007));

-- Receipts as the settlement documents record them (read by the export).
CREATE TABLE ACRTC (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TC001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- receipt type
  TC002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- receipt number
  TC003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- receipt date
  TC004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- customer
  PRIMARY KEY (TC001, TC002)
);

-- TD005 source kind ('4' settlement); TD006/TD007 the settlement paid.
CREATE TABLE ACRTD (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TD001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TD002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TD003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TD005       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT '4', -- source kind
  TD006       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- settlement type
  TD007       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- settlement number
  TD008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- amount
  TD020       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  PRIMARY KEY (TD001, TD002, TD003)
);
CREATE INDEX ACRTD_SOURCE ON ACRTD (RTRIM(TD006), RTRIM(TD007));

-- Many-to-many write-off records against invoice lines.
CREATE TABLE ACRLC (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  LC001       CHAR(11)      COLLATE RTRIM NOT NULL,             -- write-off number
  LC002       CHAR(8)       COLLATE RTRIM NOT NULL,             -- write-off date
  LC003       CHAR(4)       COLLATE RTRIM NOT NULL,             -- invoice type
  LC004       CHAR(11)      COLLATE RTRIM NOT NULL,             -- invoice number
  LC005       CHAR(4)       COLLATE RTRIM NOT NULL,             -- invoice line ('' = whole invoice)
  LC006       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- amount written off
  LC026       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  PRIMARY KEY (LC001, LC003, LC004, LC005)
);
CREATE INDEX ACRLC_SOURCE ON ACRLC (RTRIM(LC003), RTRIM(LC004), RTRIM(LC005));

-- ---------------------------------------------------------------- purchase

CREATE TABLE PURTA (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TA001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- requisition type
  TA002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- requisition number
  TA003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- requisition date
  PRIMARY KEY (TA001, TA002)
);

CREATE TABLE PURTB (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TB001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TB002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TB003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TB004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TB005       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- item name
  TB007       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TB009       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity requested
  TB014       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity to purchase
  TB015       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- date needed
  TB025       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TB029       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order type
  TB030       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- order number
  TB031       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order line
  TB045       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity purchased (in TB007)
  PRIMARY KEY (TB001, TB002, TB003)
);
CREATE INDEX PURTB_ORDER ON PURTB (RTRIM(TB029), RTRIM(TB030), RTRIM(TB031));

-- Purchase records of requisition lines, in the unit purchased.
CREATE TABLE PURTR (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TR001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- requisition type
  TR002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- requisition number
  TR003       CHAR(4)       COLLATE RTRIM NOT NULL,             -- requisition line
  TR004       CHAR(4)       COLLATE RTRIM NOT NULL,             -- record sequence
  TR006       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity purchased
  TR008       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit purchased
  TR017       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  PRIMARY KEY (TR001, TR002, TR003, TR004)
);

CREATE TABLE PURTC (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TC001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- purchase order type
  TC002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- purchase order number
  TC003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- order date
  TC004       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- supplier
  PRIMARY KEY (TC001, TC002)
);

CREATE TABLE PURTD (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TD001       CHAR(4)       COLLATE RTRIM NOT NULL,
  TD002       CHAR(11)      COLLATE RTRIM NOT NULL,
  TD003       CHAR(4)       COLLATE RTRIM NOT NULL,
  TD004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TD005       NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',  -- item name
  TD008       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity ordered
  TD009       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TD012       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- planned delivery
  TD013       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- sales order type
  TD015       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity delivered
  TD018       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TD021       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- sales order number
  TD023       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- sales order line
  PRIMARY KEY (TD001, TD002, TD003)
);
CREATE INDEX PURTD_ORDER ON PURTD (RTRIM(TD013), RTRIM(TD021), RTRIM(TD023));

-- ------------------------------------------------------------ manufacture

-- TA011 state: '1' not started, '2' material issued, '3' in production,
-- 'Y' completed, 'y' completed by hand.
CREATE TABLE MOCTA (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TA001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- work order type
  TA002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- work order number
  TA003       CHAR(8)       COLLATE RTRIM NOT NULL,             -- issue date
  TA006       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',  -- item
  TA007       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- unit
  TA011       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT '1', -- state
  TA013       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- confirmed
  TA015       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- planned quantity
  TA017       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- quantity produced
  TA026       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order type
  TA027       CHAR(11)      COLLATE RTRIM NOT NULL DEFAULT '           ', -- order number
  TA028       CHAR(4)       COLLATE RTRIM NOT NULL DEFAULT '    ',        -- order line
  PRIMARY KEY (TA001, TA002)
);
CREATE INDEX MOCTA_ORDER ON MOCTA (RTRIM(TA026), RTRIM(TA027), RTRIM(TA028));

-- Routing steps of work orders.
CREATE TABLE SFCTA (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  TA001       CHAR(4)       COLLATE RTRIM NOT NULL,             -- work order type
  TA002       CHAR(11)      COLLATE RTRIM NOT NULL,             -- work order number
  TA003       CHAR(4)       COLLATE RTRIM NOT NULL,             -- step sequence
  TA004       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',  -- process
  TA006       VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',  -- work centre
  TA007       NVARCHAR(30)  COLLATE RTRIM NOT NULL DEFAULT '',  -- work centre name
  TA008       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- planned start
  TA009       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- planned finish
  TA010       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- input
  TA011       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- completed
  TA012       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- scrapped
  TA013       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- rework input
  TA014       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- rework completed
  TA015       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- transferred
  TA016       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- stock-take gain / loss
  TA017       NUMERIC(16,3) NOT NULL DEFAULT 0,                 -- waiting for transfer
  TA030       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- actual start
  TA031       CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ', -- actual finish
  TA032       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N', -- completion code
  PRIMARY KEY (TA001, TA002, TA003)
);
CREATE INDEX SFCTA_ORDER ON SFCTA (RTRIM(TA001), RTRIM(TA002));

-- ---------------------------------------------------------- system tables

-- Program registry. MB002 Chinese title, MB003 print program, MB004..MB008
-- further attributes, MB009 'Y' flag, MB010 kind (W, E, Z), MB011 English
-- title, MB012 title in traditional script, MB013 system code.
CREATE TABLE ADMMB (
  MB001       VARCHAR(10)   COLLATE RTRIM NOT NULL,
  MB002       NVARCHAR(40)  COLLATE RTRIM NOT NULL DEFAULT '',
  MB003       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB004       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB005       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB006       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB007       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB008       VARCHAR(20)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB009       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT 'N',
  MB010       CHAR(1)       COLLATE RTRIM NOT NULL DEFAULT ' ',
  MB011       VARCHAR(60)   COLLATE RTRIM NOT NULL DEFAULT '',
  MB012       NVARCHAR(40)  COLLATE RTRIM NOT NULL DEFAULT '',
  MB013       VARCHAR(4)    COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (MB001)
);

-- System parameters per company (SYS001 date format kind, SYS002 date
-- separator, SYS003 company currency, SYS180 projects in use, KVX002
-- company title shown in captions, ...).
CREATE TABLE SYSPARAM (
  COMPANY     VARCHAR(20)   COLLATE RTRIM NOT NULL,
  NAME        VARCHAR(20)   COLLATE RTRIM NOT NULL,
  VALUE       NVARCHAR(200) COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, NAME)
);

-- Users allowed to sign on to a company.
CREATE TABLE USERS (
  COMPANY     VARCHAR(20)   COLLATE RTRIM NOT NULL,
  USER_ID     VARCHAR(10)   COLLATE RTRIM NOT NULL,
  USER_NAME   NVARCHAR(30)  COLLATE RTRIM NOT NULL DEFAULT '',
  USER_GROUP  VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, USER_ID)
);

-- User information as name=value entries ("USER_GROUP", "POWER_DATA",
-- "GROUP_LIST", "EX_POWER", "MAX_RECORD", "M11_TABLE", ...). PROGRAM ''
-- applies to every program; a row for the program itself takes precedence.
CREATE TABLE USERINFO (
  COMPANY     VARCHAR(20)   COLLATE RTRIM NOT NULL,
  USER_ID     VARCHAR(10)   COLLATE RTRIM NOT NULL,
  PROGRAM     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  NAME        VARCHAR(20)   COLLATE RTRIM NOT NULL,
  VALUE       NVARCHAR(400) COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, USER_ID, PROGRAM, NAME)
);

-- Message catalogue: kind letter and six-digit code, Chinese and English
-- text with printf-like placeholders.
CREATE TABLE MESSAGES (
  KIND        CHAR(1)       COLLATE RTRIM NOT NULL,
  CODE        CHAR(6)       COLLATE RTRIM NOT NULL,
  TEXT_GB     NVARCHAR(200) COLLATE RTRIM NOT NULL DEFAULT '',
  TEXT_EN     VARCHAR(200)  COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (KIND, CODE)
);

-- Per-user input settings documents (XML) by program and section, answered
-- by the application server's "GetUserDefine".
CREATE TABLE USERDEFINE (
  COMPANY     VARCHAR(20)   COLLATE RTRIM NOT NULL,
  USER_ID     VARCHAR(10)   COLLATE RTRIM NOT NULL,
  PROGRAM     VARCHAR(10)   COLLATE RTRIM NOT NULL,
  SECTION     VARCHAR(40)   COLLATE RTRIM NOT NULL DEFAULT '',
  XML         TEXT          NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, USER_ID, PROGRAM, SECTION)
);

-- Per-company, per-program user settings documents (XML root MT_User),
-- answered by the application server's "GetFormat".
CREATE TABLE USERFORMAT (
  COMPANY     VARCHAR(20)   COLLATE RTRIM NOT NULL,
  PROGRAM     VARCHAR(10)   COLLATE RTRIM NOT NULL,
  XML         TEXT          NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, PROGRAM)
);

-- ------------------------------------------------- provider-backed tables
-- Written by the application server's providers ("pvdConSave", "pvdColor"),
-- per company and program.

-- Saved condition schemes of the query windows: a named condition and order
-- per creator.
CREATE TABLE SAVECONDITION (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  PROGRAMME   VARCHAR(10)   COLLATE RTRIM NOT NULL,             -- program code
  NCONDITION  NVARCHAR(40)  COLLATE RTRIM NOT NULL,             -- scheme name
  CONDITION   TEXT          NOT NULL DEFAULT '',                -- SQL condition
  ORDERBY     VARCHAR(200)  COLLATE RTRIM NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, PROGRAMME, CREATOR, NCONDITION)
);

-- Row colouring rules of a program's grids: rows whose field compares with
-- the value(s) by the operator get the colour (RGB as an integer).
CREATE TABLE COLORRULE (
  COMPANY     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATOR     VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  USR_GROUP   VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  CREATE_DATE CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  MODIFIER    VARCHAR(10)   COLLATE RTRIM NOT NULL DEFAULT '',
  MODI_DATE   CHAR(8)       COLLATE RTRIM NOT NULL DEFAULT '        ',
  FLAG        INTEGER       NOT NULL DEFAULT 0,
  PROGRAMME   VARCHAR(10)   COLLATE RTRIM NOT NULL,
  SEQ         INTEGER       NOT NULL,
  FIELDNAME   VARCHAR(30)   COLLATE RTRIM NOT NULL DEFAULT '',
  OPERATOR    NVARCHAR(20)  COLLATE RTRIM NOT NULL DEFAULT '',
  VALUE1      NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',
  VALUE2      NVARCHAR(60)  COLLATE RTRIM NOT NULL DEFAULT '',
  COLOR       INTEGER       NOT NULL DEFAULT 0,
  PRIMARY KEY (COMPANY, PROGRAMME, SEQ)
);

-- Data dictionary: the caption of every field that the shell's document
-- windows show, in Chinese and English, and how its value is shown: 'D' a
-- date stored as "YYYYMMDD" (shown in the company's date format), 'Q' a
-- quantity, 'A' an amount (in the digits of the company's currency), 'T'
-- text as stored. TABLE_NAME '' holds the system fields of every table.
-- Its rows are part of the schema, so every company database has them.
CREATE TABLE FIELDDICT (
  TABLE_NAME  VARCHAR(10)   COLLATE RTRIM NOT NULL,
  FIELD_NAME  VARCHAR(20)   COLLATE RTRIM NOT NULL,
  CAPTION_GB  NVARCHAR(30)  COLLATE RTRIM NOT NULL DEFAULT '',
  CAPTION_EN  VARCHAR(40)   COLLATE RTRIM NOT NULL DEFAULT '',
  KIND        VARCHAR(1)    COLLATE RTRIM NOT NULL DEFAULT 'T',
  PRIMARY KEY (TABLE_NAME, FIELD_NAME)
);

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('', 'COMPANY', '公司别', 'Company', 'T'),
  ('', 'CREATOR', '建立者', 'Created by', 'T'),
  ('', 'USR_GROUP', '用户组', 'User group', 'T'),
  ('', 'CREATE_DATE', '建立日期', 'Created on', 'D'),
  ('', 'MODIFIER', '修改者', 'Modified by', 'T'),
  ('', 'MODI_DATE', '修改日期', 'Modified on', 'D'),
  ('', 'FLAG', '修改次数', 'Revisions', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTC', 'TC001', '单别', 'Order type', 'T'),
  ('COPTC', 'TC002', '单号', 'Order no.', 'T'),
  ('COPTC', 'TC003', '订单日期', 'Order date', 'D'),
  ('COPTC', 'TC004', '客户编号', 'Customer', 'T'),
  ('COPTC', 'TC012', '客户单号', 'Customer order no.', 'T'),
  ('COPTC', 'TC027', '确认码', 'Confirmed', 'T'),
  ('COPTC', 'TC077', '项目编号', 'Project', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTD', 'TD001', '单别', 'Order type', 'T'),
  ('COPTD', 'TD002', '单号', 'Order no.', 'T'),
  ('COPTD', 'TD003', '序号', 'Line', 'T'),
  ('COPTD', 'TD004', '品号', 'Item', 'T'),
  ('COPTD', 'TD005', '品名', 'Item name', 'T'),
  ('COPTD', 'TD006', '规格', 'Details', 'T'),
  ('COPTD', 'TD008', '订单数量', 'Quantity ordered', 'Q'),
  ('COPTD', 'TD010', '单位', 'Unit', 'T'),
  ('COPTD', 'TD013', '预交货日', 'Planned delivery', 'D'),
  ('COPTD', 'TD016', '结束', 'Closed', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTG', 'TG001', '单别', 'Delivery type', 'T'),
  ('COPTG', 'TG002', '单号', 'Delivery no.', 'T'),
  ('COPTG', 'TG003', '销货日期', 'Delivery date', 'D'),
  ('COPTG', 'TG004', '客户编号', 'Customer', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTH', 'TH001', '单别', 'Delivery type', 'T'),
  ('COPTH', 'TH002', '单号', 'Delivery no.', 'T'),
  ('COPTH', 'TH003', '序号', 'Line', 'T'),
  ('COPTH', 'TH004', '品号', 'Item', 'T'),
  ('COPTH', 'TH008', '销货数量', 'Quantity sold', 'Q'),
  ('COPTH', 'TH009', '单位', 'Unit', 'T'),
  ('COPTH', 'TH014', '订单单别', 'Order type', 'T'),
  ('COPTH', 'TH015', '订单单号', 'Order no.', 'T'),
  ('COPTH', 'TH016', '订单序号', 'Order line', 'T'),
  ('COPTH', 'TH020', '确认码', 'Confirmed', 'T'),
  ('COPTH', 'TH024', '赠/备品量', 'Free / spare quantity', 'Q'),
  ('COPTH', 'TH027', '结帐单别', 'Invoice type', 'T'),
  ('COPTH', 'TH028', '结帐单号', 'Invoice no.', 'T'),
  ('COPTH', 'TH029', '结帐序号', 'Invoice line', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTI', 'TI001', '单别', 'Return type', 'T'),
  ('COPTI', 'TI002', '单号', 'Return no.', 'T'),
  ('COPTI', 'TI003', '销退日期', 'Return date', 'D'),
  ('COPTI', 'TI004', '客户编号', 'Customer', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('COPTJ', 'TJ001', '单别', 'Return type', 'T'),
  ('COPTJ', 'TJ002', '单号', 'Return no.', 'T'),
  ('COPTJ', 'TJ003', '序号', 'Line', 'T'),
  ('COPTJ', 'TJ004', '品号', 'Item', 'T'),
  ('COPTJ', 'TJ007', '退货数量', 'Quantity returned', 'Q'),
  ('COPTJ', 'TJ008', '单位', 'Unit', 'T'),
  ('COPTJ', 'TJ018', '订单单别', 'Order type', 'T'),
  ('COPTJ', 'TJ019', '订单单号', 'Order no.', 'T'),
  ('COPTJ', 'TJ020', '订单序号', 'Order line', 'T'),
  ('COPTJ', 'TJ021', '确认码', 'Confirmed', 'T'),
  ('COPTJ', 'TJ025', '结帐单别', 'Invoice type', 'T'),
  ('COPTJ', 'TJ026', '结帐单号', 'Invoice no.', 'T'),
  ('COPTJ', 'TJ027', '结帐序号', 'Invoice line', 'T'),
  ('COPTJ', 'TJ068', '赠/备品退货量', 'Free / spare returned', 'Q');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('ACRTA', 'TA001', '单别', 'Invoice type', 'T'),
  ('ACRTA', 'TA002', '单号', 'Invoice no.', 'T'),
  ('ACRTA', 'TA003', '结帐日期', 'Invoice date', 'D'),
  ('ACRTA', 'TA004', '客户编号', 'Customer', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('ACRTB', 'TB001', '单别', 'Invoice type', 'T'),
  ('ACRTB', 'TB002', '单号', 'Invoice no.', 'T'),
  ('ACRTB', 'TB003', '序号', 'Line', 'T'),
  ('ACRTB', 'TB004', '来源', 'Source kind', 'T'),
  ('ACRTB', 'TB005', '来源单别', 'Source type', 'T'),
  ('ACRTB', 'TB006', '来源单号', 'Source no.', 'T'),
  ('ACRTB', 'TB007', '来源序号', 'Source line', 'T'),
  ('ACRTB', 'TB008', '金额', 'Amount', 'A'),
  ('ACRTB', 'TB012', '确认码', 'Confirmed', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('ACRTK', 'TK001', '单别', 'Receipt type', 'T'),
  ('ACRTK', 'TK002', '单号', 'Receipt no.', 'T'),
  ('ACRTK', 'TK003', '收款日期', 'Receipt date', 'D'),
  ('ACRTK', 'TK004', '客户编号', 'Customer', 'T'),
  ('ACRTK', 'TK017', '订单单别', 'Order type', 'T'),
  ('ACRTK', 'TK018', '订单单号', 'Order no.', 'T'),
  ('ACRTK', 'TK020', '确认码', 'Confirmed', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('ACRTL', 'TL001', '单别', 'Receipt type', 'T'),
  ('ACRTL', 'TL002', '单号', 'Receipt no.', 'T'),
  ('ACRTL', 'TL003', '序号', 'Line', 'T'),
  ('ACRTL', 'TL004', '来源', 'Source kind', 'T'),
  ('ACRTL', 'TL005', '结帐单别', 'Invoice type', 'T'),
  ('ACRTL', 'TL006', '结帐单号', 'Invoice no.', 'T'),
  ('ACRTL', 'TL007', '结帐序号', 'Invoice line', 'T'),
  ('ACRTL', 'TL008', '金额', 'Amount', 'A');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('ACRLC', 'LC001', '核销单号', 'Write-off no.', 'T'),
  ('ACRLC', 'LC002', '核销日期', 'Write-off date', 'D'),
  ('ACRLC', 'LC003', '结帐单别', 'Invoice type', 'T'),
  ('ACRLC', 'LC004', '结帐单号', 'Invoice no.', 'T'),
  ('ACRLC', 'LC005', '结帐序号', 'Invoice line', 'T'),
  ('ACRLC', 'LC006', '核销金额', 'Amount written off', 'A'),
  ('ACRLC', 'LC026', '确认码', 'Confirmed', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('PURTA', 'TA001', '单别', 'Requisition type', 'T'),
  ('PURTA', 'TA002', '单号', 'Requisition no.', 'T'),
  ('PURTA', 'TA003', '请购日期', 'Requisition date', 'D');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('PURTB', 'TB001', '单别', 'Requisition type', 'T'),
  ('PURTB', 'TB002', '单号', 'Requisition no.', 'T'),
  ('PURTB', 'TB003', '序号', 'Line', 'T'),
  ('PURTB', 'TB004', '品号', 'Item', 'T'),
  ('PURTB', 'TB005', '品名', 'Item name', 'T'),
  ('PURTB', 'TB007', '单位', 'Unit', 'T'),
  ('PURTB', 'TB009', '请购数量', 'Quantity requested', 'Q'),
  ('PURTB', 'TB014', '采购数量', 'Quantity to purchase', 'Q'),
  ('PURTB', 'TB015', '需求日期', 'Date needed', 'D'),
  ('PURTB', 'TB025', '确认码', 'Confirmed', 'T'),
  ('PURTB', 'TB029', '订单单别', 'Order type', 'T'),
  ('PURTB', 'TB030', '订单单号', 'Order no.', 'T'),
  ('PURTB', 'TB031', '订单序号', 'Order line', 'T'),
  ('PURTB', 'TB045', '已采购量', 'Quantity purchased', 'Q');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('PURTC', 'TC001', '单别', 'Purchase order type', 'T'),
  ('PURTC', 'TC002', '单号', 'Purchase order no.', 'T'),
  ('PURTC', 'TC003', '采购日期', 'Order date', 'D'),
  ('PURTC', 'TC004', '供应商', 'Supplier', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('PURTD', 'TD001', '单别', 'Purchase order type', 'T'),
  ('PURTD', 'TD002', '单号', 'Purchase order no.', 'T'),
  ('PURTD', 'TD003', '序号', 'Line', 'T'),
  ('PURTD', 'TD004', '品号', 'Item', 'T'),
  ('PURTD', 'TD005', '品名', 'Item name', 'T'),
  ('PURTD', 'TD008', '采购数量', 'Quantity ordered', 'Q'),
  ('PURTD', 'TD009', '单位', 'Unit', 'T'),
  ('PURTD', 'TD012', '预交货日', 'Planned delivery', 'D'),
  ('PURTD', 'TD013', '订单单别', 'Sales order type', 'T'),
  ('PURTD', 'TD015', '已交数量', 'Quantity delivered', 'Q'),
  ('PURTD', 'TD018', '确认码', 'Confirmed', 'T'),
  ('PURTD', 'TD021', '订单单号', 'Sales order no.', 'T'),
  ('PURTD', 'TD023', '订单序号', 'Sales order line', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('MOCTA', 'TA001', '单别', 'Work order type', 'T'),
  ('MOCTA', 'TA002', '单号', 'Work order no.', 'T'),
  ('MOCTA', 'TA003', '开单日期', 'Issue date', 'D'),
  ('MOCTA', 'TA006', '产品品号', 'Item', 'T'),
  ('MOCTA', 'TA007', '单位', 'Unit', 'T'),
  ('MOCTA', 'TA011', '状态码', 'State', 'T'),
  ('MOCTA', 'TA013', '确认码', 'Confirmed', 'T'),
  ('MOCTA', 'TA015', '预计产量', 'Planned quantity', 'Q'),
  ('MOCTA', 'TA017', '已生产量', 'Quantity produced', 'Q'),
  ('MOCTA', 'TA026', '订单单别', 'Order type', 'T'),
  ('MOCTA', 'TA027', '订单单号', 'Order no.', 'T'),
  ('MOCTA', 'TA028', '订单序号', 'Order line', 'T');

INSERT INTO FIELDDICT (TABLE_NAME, FIELD_NAME, CAPTION_GB, CAPTION_EN, KIND) VALUES
  ('SFCTA', 'TA001', '工单单别', 'Work order type', 'T'),
  ('SFCTA', 'TA002', '工单单号', 'Work order no.', 'T'),
  ('SFCTA', 'TA003', '加工顺序', 'Step', 'T'),
  ('SFCTA', 'TA004', '工艺', 'Process', 'T'),
  ('SFCTA', 'TA006', '工作中心', 'Work centre', 'T'),
  ('SFCTA', 'TA007', '工作中心名称', 'Work centre name', 'T'),
  ('SFCTA', 'TA008', '预计开工', 'Planned start', 'D'),
  ('SFCTA', 'TA009', '预计完工', 'Planned finish', 'D'),
  ('SFCTA', 'TA010', '投入数量', 'Input', 'Q'),
  ('SFCTA', 'TA011', '完成数量', 'Completed', 'Q'),
  ('SFCTA', 'TA012', '报废数量', 'Scrapped', 'Q'),
  ('SFCTA', 'TA013', '重工投入', 'Rework input', 'Q'),
  ('SFCTA', 'TA014', '重工完成', 'Rework completed', 'Q'),
  ('SFCTA', 'TA015', '转出数量', 'Transferred', 'Q'),
  ('SFCTA', 'TA016', '盘盈亏', 'Stock-take gain / loss', 'Q'),
  ('SFCTA', 'TA017', '待转移量', 'Waiting for transfer', 'Q'),
  ('SFCTA', 'TA030', '实际开工', 'Actual start', 'D'),
  ('SFCTA', 'TA031', '实际完工', 'Actual finish', 'D'),
  ('SFCTA', 'TA032', '完工码', 'Completion code', 'T');
