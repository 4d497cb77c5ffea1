/* Demo rows for the ERP tables of db/erp-schema.sql: three registers of
   company 1 (and one ticket of company 2), 5 to 8 December 2025.
   Payment-forms texts and cancelled-ticket texts use CR LF between lines,
   written here as ASCII_CHAR(13) || ASCII_CHAR(10).

   What the rows show:
   - register 1, 8 Dec: ticket 2935 (one discounted item, no payment-forms row),
     ticket 2936 (an item whose goods row is missing, a payment-forms row with
     change 4.40), ticket 2937 already accepted (flag 2);
   - register 2, 8 Dec: ticket 1501 with a customer document, 1502 refused
     earlier (flag 3), 1503 with flag 0 (left alone by the pending modes);
   - register 1, 7 Dec: ticket 2901 pending; register 3, 5 Dec: ticket 880;
   - company 2, register 4, 8 Dec: ticket 2935 (the number of a company 1 ticket);
   - cancellations: ticket 2930 of register 1 (with its payment-forms row under
     the same key) and ticket 1490 of register 2 (without one);
   - promotions 101 (active, with items) and 102 (ended). */

INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (1001, '7896006700017', 'ARROZ TIPO 1 5KG');
INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (1002, '7891000010860', 'CAFE SOLUVEL 50G');
INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (1003, '7891234567895', 'LEITE INTEGRAL 1L');
INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (1004, '7894900011517', 'PÃO DE QUEIJO 400G');
INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (1005, '7891910000197', 'AÇÚCAR REFINADO 1KG');

/* Register 1, 8 December 2025 */
INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (2935, 1, DATE '2025-12-08', 0, 47.60, 0, 0, 45.60, 45.60, 0, 'V', 'DINHEIRO', '', TIME '15:12:00', 1, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2935, 1, DATE '2025-12-08', 1, 1002, 11.90, 45.60, 4, 11.90, 2.00);

INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (2936, 1, DATE '2025-12-08', 0, 65.60, 0, 0, 65.60, 70.00, 4.40, 'V', 'DINHEIRO', '', TIME '16:40:10', 1, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2936, 1, DATE '2025-12-08', 1, 1004, 15.90, 31.80, 2, 15.90, 0);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2936, 1, DATE '2025-12-08', 2, 9999, 33.80, 33.80, 1, 33.80, NULL);
INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, sub_tot)
  VALUES (2936, 1, DATE '2025-12-08', 1,
          'Dinheiro^50.00' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'Cartao Credito^20,00', 99, 65.60);

INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (2937, 1, DATE '2025-12-08', 0, 5.49, 0, 0, 5.49, 5.49, 0, 'V', 'CARTAO DEBITO', '', TIME '17:02:45', 2, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2937, 1, DATE '2025-12-08', 1, 1003, 5.49, 5.49, 1, 5.49, 0);

/* Register 2, 8 December 2025 */
INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (1501, 2, DATE '2025-12-08', 17, 24.90, 0.50, 1.00, 24.40, 24.40, 0, 'V', 'CARTAO CREDITO', '123.456.789-09',
          TIME '09:15:30', 1, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (1501, 2, DATE '2025-12-08', 1, 1001, 24.90, 24.90, 1, 24.90, 0);

INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (1502, 2, DATE '2025-12-08', 0, 4.99, 0, 0, 4.99, 4.99, 0, 'V', 'CHEQUE', '', TIME '10:01:00', 3, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (1502, 2, DATE '2025-12-08', 1, 1005, 4.99, 4.99, 1, 4.99, 0);

INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (1503, 2, DATE '2025-12-08', 0, 2.745, 0, 0, 2.75, 2.75, 0, 'V', 'VALE', '', TIME '11:30:00', 0, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (1503, 2, DATE '2025-12-08', 1, 1003, 5.49, 2.75, 0.500, 5.49, 0);

/* Register 1, 7 December 2025, and register 3, 5 December 2025 */
INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (2901, 1, DATE '2025-12-07', 0, 49.80, 0, 0, 49.80, 50.00, 0.20, 'V', 'DINHEIRO', '', TIME '18:20:00', 1, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2901, 1, DATE '2025-12-07', 1, 1001, 24.90, 49.80, 2, 24.90, 0);

INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (880, 3, DATE '2025-12-05', 0, 11.90, 0, 0, 11.90, 11.90, 0, 'V', 'DINHEIRO', '', TIME '08:05:00', 1, 1);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (880, 3, DATE '2025-12-05', 1, 1002, 11.90, 11.90, 1, 11.90, 0);

/* Company 2, register 4, 8 December 2025: the same ticket number as in company 1 */
INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, sub_tot, vlr_pag,
  vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp)
  VALUES (2935, 4, DATE '2025-12-08', 0, 10.98, 0, 0, 10.98, 10.98, 0, 'V', 'DINHEIRO', '', TIME '12:00:00', 1, 2);
INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, qtd_ven, vlr_uni_o,
  vlr_des_i_korv) VALUES (2935, 4, DATE '2025-12-08', 1, 1003, 5.49, 10.98, 2, 5.49, 0);

/* Cancellation of ticket 2930, register 1, 8 December 2025, with its payment-forms row */
INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, sub_tot)
  VALUES (2930, 1, DATE '2025-12-08', 1,
          '2025-12-08T10:05:00.000-0300' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'CUPOM 2930 CX 1' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'OPERADOR 3' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          '1001^7896006700017^ARROZ TIPO 1 5KG^1.000^24.90^24.90^0.00' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          '1003^7891234567895^LEITE INTEGRAL 1L^2.000^5.49^10.48^0.50' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'FIMITENS' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'TOTAIS' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          '0.00^0.00^35.38^^DINHEIRO',
          1, 35.38);
INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, sub_tot)
  VALUES (2930, 1, DATE '2025-12-08', 1, 'Dinheiro^35.38', 99, 35.38);

/* Cancellation of ticket 1490, register 2, 8 December 2025, paid by card, no payment-forms row */
INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, sub_tot)
  VALUES (1490, 2, DATE '2025-12-08', 1,
          '2025-12-08T08:45:12.000-0300' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'CUPOM 1490 CX 2' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'OPERADOR 1' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          '1002^7891000010860^CAFE SOLUVEL 50G^4^11.90^45.60^2.00' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'FIMITENS' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          'TOTAIS' || ASCII_CHAR(13) || ASCII_CHAR(10) ||
          '0,00^0,00^45,60^123.456.789-09^Cartao Credito',
          1, 45.60);

/* Promotions: 101 active until the end of 2026, 102 ended in November 2025 */
INSERT INTO Korvanta_promo (id_prom, tit_prom, desc_prom, tipo_prom, vig_in_dh, vig_out_dh, autor_prom, atv_prom,
  id_sinc, lim_por_ticket)
  VALUES (101, 'Leve 3, pague 2 no café', 'Café solúvel 50g', 'leva_paga', TIMESTAMP '2025-12-01 00:00:00',
          TIMESTAMP '2026-12-31 23:59:59', 'Compras', 'T', 36000, 2);
INSERT INTO Korvanta_item (id_prom, tipo_item, preco_prom, desc_prom, paga_prom, qtd_prom, nom_pro_prom,
  cod_bar_prom, cod_red_prom)
  VALUES (101, 'condicao', 11.90, 0, 2, 3, 'CAFE SOLUVEL 50G', '7891000010860', 0);
INSERT INTO Korvanta_item (id_prom, tipo_item, preco_prom, desc_prom, paga_prom, qtd_prom, nom_pro_prom,
  cod_bar_prom, cod_red_prom)
  VALUES (101, 'beneficio', 11.90, 0, 2, 1, 'CAFE SOLUVEL 50G', '7891000010860', 0);

INSERT INTO Korvanta_promo (id_prom, tit_prom, desc_prom, tipo_prom, vig_in_dh, vig_out_dh, autor_prom, atv_prom,
  id_sinc, lim_por_ticket)
  VALUES (102, 'Arroz com 10% de desconto', 'Arroz tipo 1 5kg', 'desconto_fixo', TIMESTAMP '2025-11-01 00:00:00',
          TIMESTAMP '2025-11-30 23:59:59', 'Compras', 'F', 36000, 0);
INSERT INTO Korvanta_item (id_prom, tipo_item, preco_prom, desc_prom, paga_prom, qtd_prom, nom_pro_prom,
  cod_bar_prom, cod_red_prom)
  VALUES (102, 'condicao', 24.90, 10, 0, 1, 'ARROZ TIPO 1 5KG', '7896006700017', 0);
