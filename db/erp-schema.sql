/* The ERP tables that korvanta-sync reads and writes, for tests and the demo.
   The database's default character set is WIN1252, like the store's ERP.

   The script holds no CREATE DATABASE and no SET TERM: the test fixture
   (tests/support/fixtures/ErpDatabase.h) and the bench create the database
   through the client and run the statements one by one. With isql-fb:
     echo "CREATE DATABASE '/path/erp.fdb' USER 'SYSDBA' PASSWORD 'quillfern'
           DEFAULT CHARACTER SET WIN1252;" | isql-fb -q
     isql-fb -q -ch UTF8 -user SYSDBA -i db/erp-schema.sql /path/erp.fdb

   Only the columns the program uses, plus the keys an ERP would have. */

/* Fiscal tickets, one per sale, written by the point-of-sale software.
   sinc_korvanta: 1 waiting, 2 accepted by the service, 3 refused as incorrect. */
CREATE TABLE cupom_fiscal (
  nro_cupom      INTEGER NOT NULL,
  nro_cx         INTEGER NOT NULL,
  data_cupom     DATE NOT NULL,
  cod_cli        INTEGER,
  vlr_pro        NUMERIC(18,2),
  vlr_acr        NUMERIC(18,2),
  vlr_des        NUMERIC(18,2),
  sub_tot        NUMERIC(18,2),
  vlr_pag        NUMERIC(18,2),
  vlr_tro        NUMERIC(18,2),
  tip_ven        VARCHAR(5),
  forma_pag      VARCHAR(15),
  cpf_cli        VARCHAR(18),
  hora           TIME,
  sinc_korvanta  INTEGER DEFAULT 1,
  cod_emp        INTEGER DEFAULT 1 NOT NULL,
  CONSTRAINT pk_cupom_fiscal PRIMARY KEY (nro_cupom, nro_cx, data_cupom, cod_emp)
);

CREATE INDEX ix_cupom_fiscal_sinc ON cupom_fiscal (sinc_korvanta);

/* The items of a ticket, in the order of nro_item. */
CREATE TABLE itensCupom (
  nro_cupom       INTEGER NOT NULL,
  nro_cx          INTEGER NOT NULL,
  data_cupom      DATE NOT NULL,
  nro_item        INTEGER NOT NULL,
  cod_mer         INTEGER,
  vlr_uni         NUMERIC(18,2),
  sub_tot         NUMERIC(18,2),
  qtd_ven         NUMERIC(18,3),
  vlr_uni_o       NUMERIC(18,2),
  vlr_des_i_korv  NUMERIC(18,2),
  CONSTRAINT pk_itenscupom PRIMARY KEY (nro_cx, data_cupom, nro_cupom, nro_item)
);

/* The goods; items refer to cod_red. */
CREATE TABLE mercadorias (
  cod_red  INTEGER NOT NULL,
  cod_bar  VARCHAR(30),
  nom_mer  VARCHAR(50),
  CONSTRAINT pk_mercadorias PRIMARY KEY (cod_red)
);

/* Cancelled tickets (sinc_korv 1 waiting, 2 accepted, 3 refused) and the
   payment-forms rows of tickets (sinc_korv 99), under the ticket key. A ticket
   may have both, so the key is not unique here. */
CREATE TABLE KORVANTA_DELETE (
  nro_cupom  INTEGER NOT NULL,
  nro_cx     INTEGER NOT NULL,
  data_cupom DATE NOT NULL,
  cod_emp    INTEGER DEFAULT 1 NOT NULL,
  memo_korv  BLOB SUB_TYPE TEXT,
  sinc_korv  INTEGER DEFAULT 1,
  sub_tot    NUMERIC(18,2)
);

CREATE INDEX ix_korvanta_delete_key ON KORVANTA_DELETE (nro_cx, data_cupom, nro_cupom);

/* The service's promotions, written by the promotion import as quoted texts
   that the database converts. atv_prom: 'T' active, 'F' inactive. */
CREATE TABLE Korvanta_promo (
  id_prom         NUMERIC(18,0) NOT NULL,
  tit_prom        VARCHAR(50),
  desc_prom       VARCHAR(50),
  tipo_prom       VARCHAR(20),
  vig_in_dh       TIMESTAMP,
  vig_out_dh      TIMESTAMP,
  autor_prom      VARCHAR(100),
  atv_prom        CHAR(1),
  id_sinc         INTEGER,
  lim_por_ticket  INTEGER,
  CONSTRAINT pk_korvanta_promo PRIMARY KEY (id_prom)
);

/* The articles of each promotion's condition and benefit. */
CREATE TABLE Korvanta_item (
  id_prom       NUMERIC(18,0) NOT NULL,
  tipo_item     VARCHAR(10) NOT NULL,
  preco_prom    NUMERIC(18,4),
  desc_prom     NUMERIC(18,4),
  paga_prom     NUMERIC(18,4),
  qtd_prom      NUMERIC(18,3),
  nom_pro_prom  VARCHAR(50),
  cod_bar_prom  VARCHAR(50) NOT NULL,
  cod_red_prom  INTEGER,
  CONSTRAINT pk_korvanta_item PRIMARY KEY (id_prom, cod_bar_prom, tipo_item)
);
