-- Quorvel's shared archive on PostgreSQL 15: roles, database, tables, triggers and
-- privileges. Run once by a superuser on the server:
--     sudo -u postgres psql -v ON_ERROR_STOP=1 -f /usr/share/quorvel/quorvel.sql
-- Desks connect with "SET search_path = quorvel" (the program does it at each connection).

-- Roles: the owner has no login; desks belong to quorvel_sportello, the responsible
-- volunteers to quorvel_responsabile too. Made only when missing, as roles span the cluster.
DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'quorvel_proprietario') THEN
        CREATE ROLE quorvel_proprietario NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'quorvel_sportello') THEN
        CREATE ROLE quorvel_sportello NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'quorvel_responsabile') THEN
        CREATE ROLE quorvel_responsabile NOLOGIN IN ROLE quorvel_sportello;
    END IF;
END $$;

-- The C locale makes ILIKE fold A-Z only, as the folder's search does.
CREATE DATABASE quorvel OWNER quorvel_proprietario TEMPLATE template0
    ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C';
\connect quorvel
REVOKE ALL ON DATABASE quorvel FROM PUBLIC;
GRANT CONNECT, TEMPORARY ON DATABASE quorvel TO quorvel_sportello;
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
CREATE SCHEMA quorvel AUTHORIZATION quorvel_proprietario;
CREATE EXTENSION pg_trgm WITH SCHEMA quorvel;
SET ROLE quorvel_proprietario;
SET search_path = quorvel;

-- The program refuses a database whose schema version it does not know.
CREATE TABLE versione_schema (unica boolean PRIMARY KEY DEFAULT true CHECK (unica),
                              versione integer NOT NULL);
INSERT INTO versione_schema VALUES (true, 1);

-- The last position handed out; its row lock keeps positions 1..n gap-free across desks.
CREATE TABLE contatore (unica boolean PRIMARY KEY DEFAULT true CHECK (unica),
                        ultima integer NOT NULL DEFAULT 0 CHECK (ultima >= 0));
INSERT INTO contatore VALUES (true, 0);

-- One row per record, the fields as the folder's file holds them (dates stay text).
-- "richiesta" names the save that appended the row, so a save retried after a lost
-- connection finds its record instead of appending it twice.
CREATE TABLE schede (
    posizione     integer PRIMARY KEY CHECK (posizione >= 1),
    versione      bigint NOT NULL DEFAULT 1,
    modificata_il timestamptz NOT NULL DEFAULT now(),
    modificata_da text NOT NULL DEFAULT session_user,
    richiesta     uuid UNIQUE,
    tesserato varchar(50) NOT NULL DEFAULT '',  carica varchar(50) NOT NULL DEFAULT '',
    numtessera varchar(50) NOT NULL DEFAULT '', dataril varchar(10) NOT NULL DEFAULT '',
    datascade varchar(10) NOT NULL DEFAULT '',  datanasc varchar(10) NOT NULL DEFAULT '',
    comunenasc varchar(50) NOT NULL DEFAULT '', provnasc varchar(2) NOT NULL DEFAULT '',
    sesso varchar(1) NOT NULL DEFAULT '',       comuneres varchar(50) NOT NULL DEFAULT '',
    provres varchar(2) NOT NULL DEFAULT '',     capres varchar(5) NOT NULL DEFAULT '',
    indirizzores varchar(50) NOT NULL DEFAULT '', preavviso varchar(3) NOT NULL DEFAULT '',
    titoli varchar(250) NOT NULL DEFAULT '',    telcasa varchar(30) NOT NULL DEFAULT '',
    teluff varchar(30) NOT NULL DEFAULT '',     telcel varchar(30) NOT NULL DEFAULT '',
    recapito varchar(50) NOT NULL DEFAULT '',   fax varchar(30) NOT NULL DEFAULT '',
    email varchar(50) NOT NULL DEFAULT '',      codfisc varchar(16) NOT NULL DEFAULT '',
    carta varchar(30) NOT NULL DEFAULT '',      scadecarta varchar(30) NOT NULL DEFAULT '',
    partitaiva varchar(11) NOT NULL DEFAULT '', iban varchar(27) NOT NULL DEFAULT '',
    intestatario varchar(50) NOT NULL DEFAULT '', note varchar(250) NOT NULL DEFAULT '',
    annullata varchar(2) NOT NULL DEFAULT '',
    file01 varchar(250) NOT NULL DEFAULT '', file02 varchar(250) NOT NULL DEFAULT '',
    file03 varchar(250) NOT NULL DEFAULT '', desc01 varchar(250) NOT NULL DEFAULT '',
    desc02 varchar(250) NOT NULL DEFAULT '', desc03 varchar(250) NOT NULL DEFAULT ''
);

-- Every insert takes the next position from the counter, inside the inserting
-- transaction: a rolled-back or failed insert gives its number back.
CREATE FUNCTION assegna_posizione() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path = quorvel, pg_temp AS $$
BEGIN
    UPDATE contatore SET ultima = ultima + 1 RETURNING ultima INTO NEW.posizione;
    NEW.versione := 1; NEW.modificata_il := now(); NEW.modificata_da := session_user;
    RETURN NEW;
END $$;
CREATE TRIGGER schede_posizione BEFORE INSERT ON schede
    FOR EACH ROW EXECUTE FUNCTION assegna_posizione();

-- Every update bumps the version and says who changed the record; a position never changes.
CREATE FUNCTION nuova_versione() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF NEW.posizione <> OLD.posizione THEN
        RAISE EXCEPTION 'la posizione di una scheda non cambia';
    END IF;
    NEW.versione := OLD.versione + 1; NEW.modificata_il := now();
    NEW.modificata_da := session_user;
    RETURN NEW;
END $$;
CREATE TRIGGER schede_versione BEFORE UPDATE ON schede
    FOR EACH ROW EXECUTE FUNCTION nuova_versione();

CREATE TABLE foto (
    posizione integer PRIMARY KEY REFERENCES schede,
    immagine  bytea NOT NULL
);
ALTER TABLE foto ALTER immagine SET STORAGE EXTERNAL;  -- JPEG: not worth compressing

-- Attachments by plain name, as the shared folder keeps them.
CREATE TABLE documenti (
    nome        varchar(250) PRIMARY KEY
                CHECK (nome <> '' AND nome !~ '[/\\]' AND nome NOT IN ('.', '..')),
    contenuto   bytea NOT NULL CHECK (octet_length(contenuto) <= 64 * 1024 * 1024),
    caricato_il timestamptz NOT NULL DEFAULT now(),
    caricato_da text NOT NULL DEFAULT session_user
);
ALTER TABLE documenti ALTER contenuto SET STORAGE EXTERNAL;

-- Shared settings (organization data, card options, e-mail settings but the password).
-- Print margins and the connection itself stay in each desk's Quorvel.ini.
CREATE TABLE impostazioni (sezione text, chiave text, valore text NOT NULL,
                           PRIMARY KEY (sezione, chiave));
CREATE TABLE logo (unico boolean PRIMARY KEY DEFAULT true CHECK (unico),
                   immagine bytea NOT NULL);

-- The reminder log shared by every desk: "not reminded again within N days" holds for all.
-- One row per attempt, as a line of the folder's "Avvisi.csv"; position 0 is a line about
-- the whole run, so it names no record.
CREATE TABLE avvisi (
    id          bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    data        date NOT NULL,
    ora         time NOT NULL,
    posizione   integer NOT NULL CHECK (posizione >= 0),
    tesserato   text NOT NULL DEFAULT '',
    email       text NOT NULL DEFAULT '',
    data_scade  date,
    esito       text NOT NULL DEFAULT '',
    composto_il timestamptz NOT NULL DEFAULT now(),
    composto_da text NOT NULL DEFAULT session_user
);
CREATE INDEX avvisi_ultimo ON avvisi (posizione, data DESC);

-- Each import, so that the last one can be undone while nothing came after it.
CREATE TABLE importazioni (
    id       bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    prima    integer NOT NULL CHECK (prima >= 1),
    ultima   integer NOT NULL CHECK (ultima >= prima),
    fatta_da text NOT NULL DEFAULT session_user,
    il       timestamptz NOT NULL DEFAULT now()
);

-- The spreadsheet import from a desk, which may not choose positions: the rows wait in the
-- desk's temporary table pg_temp.importazione (n, then the 35 fields), readable by the
-- owner; this puts them after the last record in one go, within the caller's transaction:
-- row n at the last position + n, so the rows' numbers must run 1..count (checked).
-- The counter is locked once and set once (updating its row per record is quadratic), with
-- the position trigger off meanwhile. Refused when other records came since `attese`.
CREATE FUNCTION importa(attese integer) RETURNS integer LANGUAGE plpgsql
    SECURITY DEFINER SET search_path = quorvel, pg_temp AS $$
DECLARE
    u integer;
    quante integer;
BEGIN
    -- The table first, then the counter: the order an append takes them in.
    LOCK TABLE schede IN SHARE ROW EXCLUSIVE MODE;
    SELECT ultima INTO u FROM contatore FOR UPDATE;
    IF u <> attese THEN
        RAISE EXCEPTION 'altre schede aggiunte durante l''importazione (% invece di %)', u, attese
            USING ERRCODE = 'QV001';
    END IF;
    ALTER TABLE schede DISABLE TRIGGER schede_posizione;
    INSERT INTO schede (posizione, tesserato, carica, numtessera, dataril, datascade, datanasc,
                        comunenasc, provnasc, sesso, comuneres, provres, capres, indirizzores,
                        preavviso, titoli, telcasa, teluff, telcel, recapito, fax, email,
                        codfisc, carta, scadecarta, partitaiva, iban, intestatario, note,
                        annullata, file01, file02, file03, desc01, desc02, desc03)
        SELECT u + i.n, i.tesserato, i.carica, i.numtessera,
               i.dataril, i.datascade, i.datanasc, i.comunenasc, i.provnasc, i.sesso,
               i.comuneres, i.provres, i.capres, i.indirizzores, i.preavviso, i.titoli,
               i.telcasa, i.teluff, i.telcel, i.recapito, i.fax, i.email, i.codfisc, i.carta,
               i.scadecarta, i.partitaiva, i.iban, i.intestatario, i.note, i.annullata,
               i.file01, i.file02, i.file03, i.desc01, i.desc02, i.desc03
        FROM pg_temp.importazione i;
    GET DIAGNOSTICS quante = ROW_COUNT;
    -- Distinct (the positions' key) and within 1..quante: exactly 1..quante, no gap.
    IF quante > 0 AND (SELECT min(n) <> 1 OR max(n) <> quante FROM pg_temp.importazione) THEN
        RAISE EXCEPTION 'righe dell''importazione non numerate da 1 a %', quante;
    END IF;
    ALTER TABLE schede ENABLE TRIGGER schede_posizione;
    UPDATE contatore SET ultima = u + quante;
    IF quante > 0 THEN
        INSERT INTO importazioni (prima, ultima) VALUES (u + 1, u + quante);
    END IF;
    RETURN quante;
END $$;
REVOKE ALL ON FUNCTION importa(integer) FROM PUBLIC;

-- Undoes the last import: its records and their photos go and the counter goes back, only
-- while the archive is as that import left it: no record appended after it, none of its
-- records changed (versione = 1), no reminder logged for any of them. The answer: esito
-- 'annullata', or why not ('nessuna', 'aggiunte', 'modificata', 'avvisata'), with the
-- import's time and the record concerned.
CREATE FUNCTION annulla_ultima_importazione()
    RETURNS TABLE (esito text, il timestamptz, posizione integer) LANGUAGE plpgsql
    SECURITY DEFINER SET search_path = quorvel, pg_temp AS $$
DECLARE
    imp importazioni%ROWTYPE;
    u integer;
    p integer;
BEGIN
    -- The order an append and an import take them in.
    LOCK TABLE schede IN SHARE ROW EXCLUSIVE MODE;
    SELECT ultima INTO u FROM contatore FOR UPDATE;
    SELECT * INTO imp FROM importazioni ORDER BY id DESC LIMIT 1;
    IF NOT FOUND THEN
        RETURN QUERY SELECT 'nessuna'::text, NULL::timestamptz, NULL::integer;
        RETURN;
    END IF;
    IF u <> imp.ultima THEN
        RETURN QUERY SELECT 'aggiunte'::text, imp.il, imp.ultima + 1;
        RETURN;
    END IF;
    SELECT min(s.posizione) INTO p FROM schede s
        WHERE s.posizione BETWEEN imp.prima AND imp.ultima AND s.versione <> 1;
    IF p IS NOT NULL THEN
        RETURN QUERY SELECT 'modificata'::text, imp.il, p;
        RETURN;
    END IF;
    SELECT min(a.posizione) INTO p FROM avvisi a
        WHERE a.posizione BETWEEN imp.prima AND imp.ultima;
    IF p IS NOT NULL THEN
        RETURN QUERY SELECT 'avvisata'::text, imp.il, p;
        RETURN;
    END IF;
    DELETE FROM foto f WHERE f.posizione BETWEEN imp.prima AND imp.ultima;
    DELETE FROM schede s WHERE s.posizione BETWEEN imp.prima AND imp.ultima;
    UPDATE contatore SET ultima = imp.prima - 1;
    DELETE FROM importazioni WHERE id = imp.id;
    RETURN QUERY SELECT 'annullata'::text, imp.il, NULL::integer;
END $$;
REVOKE ALL ON FUNCTION annulla_ultima_importazione() FROM PUBLIC;

-- The e-mail settings every desk may change, as a volunteer who sends the reminders may
-- have to fix the mail server's address or the sender: those keys of section "Posta
-- Elettronica" only, in one go. Never a password (each desk keeps its own in its secret
-- store), nor the CA file, which names a file of the desk's own computer.
CREATE FUNCTION scrivi_impostazioni_posta(valori json) RETURNS void LANGUAGE plpgsql
    SECURITY DEFINER SET search_path = quorvel, pg_temp AS $$
DECLARE
    k text;
    v text;
BEGIN
    FOR k, v IN SELECT * FROM json_each_text(valori) LOOP
        IF k NOT IN ('Server', 'Porta', 'Sicurezza', 'Utente', 'Mittente', 'NomeMittente',
                     'Giorni', 'AutenticazioneInChiaro') THEN
            RAISE EXCEPTION 'la chiave "%" delle impostazioni di posta non si conserva sul server', k
                USING ERRCODE = '42501';
        END IF;
        INSERT INTO impostazioni (sezione, chiave, valore)
            VALUES ('Posta Elettronica', k, coalesce(v, ''))
            ON CONFLICT (sezione, chiave) DO UPDATE SET valore = EXCLUDED.valore;
    END LOOP;
END $$;
REVOKE ALL ON FUNCTION scrivi_impostazioni_posta(json) FROM PUBLIC;

-- Search: one trigram index per text filter (ILIKE '%...%').
CREATE INDEX schede_tesserato_trgm  ON schede USING gin (tesserato gin_trgm_ops);
CREATE INDEX schede_carica_trgm     ON schede USING gin (carica gin_trgm_ops);
CREATE INDEX schede_numtessera_trgm ON schede USING gin (numtessera gin_trgm_ops);
CREATE INDEX schede_comunenasc_trgm ON schede USING gin (comunenasc gin_trgm_ops);
CREATE INDEX schede_comuneres_trgm  ON schede USING gin (comuneres gin_trgm_ops);
CREATE INDEX schede_codfisc_trgm    ON schede USING gin (codfisc gin_trgm_ops);
CREATE INDEX schede_titoli_trgm     ON schede USING gin (titoli gin_trgm_ops);
CREATE INDEX schede_note_trgm       ON schede USING gin (note gin_trgm_ops);

RESET ROLE;
-- Privileges: desks read, append and edit the fields; no desk deletes, truncates, chooses
-- a position, sets a version or touches the counter. Only the responsible role changes
-- the shared settings and the logo.
GRANT USAGE ON SCHEMA quorvel TO quorvel_sportello;
GRANT SELECT ON ALL TABLES IN SCHEMA quorvel TO quorvel_sportello;
GRANT INSERT (richiesta, tesserato, carica, numtessera, dataril, datascade, datanasc,
              comunenasc, provnasc, sesso, comuneres, provres, capres, indirizzores, preavviso,
              titoli, telcasa, teluff, telcel, recapito, fax, email, codfisc, carta, scadecarta,
              partitaiva, iban, intestatario, note, annullata, file01, file02, file03, desc01,
              desc02, desc03),
      UPDATE (tesserato, carica, numtessera, dataril, datascade, datanasc, comunenasc, provnasc,
              sesso, comuneres, provres, capres, indirizzores, preavviso, titoli, telcasa, teluff,
              telcel, recapito, fax, email, codfisc, carta, scadecarta, partitaiva, iban,
              intestatario, note, annullata, file01, file02, file03, desc01, desc02, desc03)
      ON schede TO quorvel_sportello;
GRANT INSERT, UPDATE ON foto TO quorvel_sportello;
GRANT INSERT (nome, contenuto), UPDATE (contenuto, caricato_il, caricato_da)
      ON documenti TO quorvel_sportello;
GRANT INSERT (data, ora, posizione, tesserato, email, data_scade, esito) ON avvisi
      TO quorvel_sportello;
GRANT EXECUTE ON FUNCTION importa(integer), annulla_ultima_importazione(),
      scrivi_impostazioni_posta(json) TO quorvel_sportello;
GRANT INSERT, UPDATE ON impostazioni, logo TO quorvel_responsabile;

-- ---- Renewals and the fee register
-- One entry per payment, or the counter-entry that voids one (annulla names it, at most
-- once, and carries the amount with the opposite sign). Receipt numbers run without gaps
-- within the year of the entry's date, across every desk: each insert takes the next one
-- from numeri_ricevute inside its own transaction (a rolled-back insert gives it back).
-- Entries are never changed nor deleted: desks insert and read.
SET ROLE quorvel_proprietario;
CREATE TABLE numeri_ricevute (anno integer PRIMARY KEY,
                              ultimo integer NOT NULL CHECK (ultimo >= 1));
CREATE TABLE pagamenti (
    id            bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    anno          integer NOT NULL,
    numero        integer NOT NULL CHECK (numero >= 1),
    data          date NOT NULL,
    posizione     integer NOT NULL REFERENCES schede,
    tessera       text NOT NULL DEFAULT '',
    nominativo    text NOT NULL DEFAULT '',
    centesimi     bigint NOT NULL,
    metodo        text NOT NULL DEFAULT '',
    dal           date,
    al            date,
    causale       text NOT NULL DEFAULT '',
    inserito_da   text NOT NULL DEFAULT '',
    annulla       bigint UNIQUE REFERENCES pagamenti,
    registrato_il timestamptz NOT NULL DEFAULT now(),
    registrato_da text NOT NULL DEFAULT session_user,
    UNIQUE (anno, numero)
);
CREATE INDEX pagamenti_posizione ON pagamenti (posizione, id);
CREATE INDEX pagamenti_data ON pagamenti (data, anno, numero);

CREATE FUNCTION numera_ricevuta() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER SET search_path = quorvel, pg_temp AS $$
BEGIN
    NEW.anno := extract(year FROM NEW.data);
    INSERT INTO numeri_ricevute AS n VALUES (NEW.anno, 1)
        ON CONFLICT (anno) DO UPDATE SET ultimo = n.ultimo + 1
        RETURNING ultimo INTO NEW.numero;
    NEW.registrato_il := now(); NEW.registrato_da := session_user;
    IF NEW.annulla IS NOT NULL AND EXISTS
        (SELECT FROM pagamenti WHERE id = NEW.annulla AND annulla IS NOT NULL) THEN
        RAISE EXCEPTION 'una voce di storno non si annulla';
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER pagamenti_numero BEFORE INSERT ON pagamenti
    FOR EACH ROW EXECUTE FUNCTION numera_ricevuta();
RESET ROLE;
GRANT SELECT ON numeri_ricevute, pagamenti TO quorvel_sportello;
GRANT INSERT (anno, numero, data, posizione, tessera, nominativo, centesimi, metodo, dal, al,
              causale, inserito_da, annulla) ON pagamenti TO quorvel_sportello;
-- ---- Door check
-- The key that signs the cards' verification codes: one row, made by the first desk that
-- needs it and never changed (a new key would turn every card printed into a forgery).
SET ROLE quorvel_proprietario;
CREATE TABLE chiave_verifica (
    unica   boolean PRIMARY KEY DEFAULT true CHECK (unica),
    chiave  bytea NOT NULL CHECK (length(chiave) = 32),
    creata_il timestamptz NOT NULL DEFAULT now()
);
-- The entrance log: one row per check, appended and never changed by a desk.
CREATE TABLE ingressi (
    id        bigserial PRIMARY KEY,
    quando    timestamp NOT NULL,
    tessera   text NOT NULL,
    tesserato text NOT NULL,
    posizione integer NOT NULL,
    esito     text NOT NULL,
    sportello text NOT NULL DEFAULT session_user
);
CREATE INDEX ingressi_quando ON ingressi (quando);
RESET ROLE;
GRANT SELECT, INSERT ON chiave_verifica TO quorvel_sportello;
GRANT SELECT ON ingressi TO quorvel_sportello;
GRANT INSERT (quando, tessera, tesserato, posizione, esito) ON ingressi TO quorvel_sportello;
GRANT USAGE ON SEQUENCE ingressi_id_seq TO quorvel_sportello;
-- ---- Statistics: the program's own text rules in SQL, so the server groups the records
-- as the folder counts them. None of them fails on bad text: it gives NULL instead.
SET ROLE quorvel_proprietario;
SET search_path = quorvel;
-- A "dd/mm/yyyy" text (day and month of one or two digits, a year of four) as a date;
-- NULL when it is not a real calendar date. One expression, so the planner puts it in
-- the query itself: a call per record of a procedural function costs a hundred times more.
CREATE FUNCTION data_testo(t text) RETURNS date LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN t ~ '^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4}$' THEN
        CASE WHEN split_part(t, '/', 3)::integer >= 1
                  AND split_part(t, '/', 2)::integer BETWEEN 1 AND 12
                  AND split_part(t, '/', 1)::integer BETWEEN 1 AND
                      CASE WHEN split_part(t, '/', 2)::integer = 2 THEN
                               CASE WHEN (split_part(t, '/', 3)::integer % 4 = 0
                                          AND split_part(t, '/', 3)::integer % 100 <> 0)
                                         OR split_part(t, '/', 3)::integer % 400 = 0
                                    THEN 29 ELSE 28 END
                           WHEN split_part(t, '/', 2)::integer IN (4, 6, 9, 11) THEN 30
                           ELSE 31 END
             THEN make_date(split_part(t, '/', 3)::integer, split_part(t, '/', 2)::integer,
                            split_part(t, '/', 1)::integer) END
    END
$$;

-- Date of birth and sex in a valid fiscal code (check character right, letters for digits
-- allowed); the century is the latest that puts the date on or before `oggi`. Both NULL
-- when the code is not valid.
CREATE FUNCTION nascita_cf(codice text, oggi date, OUT nascita date, OUT femmina boolean)
    LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    -- odd-position values of '0'..'Z', the characters between '9' and 'A' counting 0
    dispari CONSTANT integer[] := ARRAY[1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 0, 0, 0, 0, 0, 0, 0,
        1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25,
        24, 23];
    c text := upper(btrim(codice));
    somma integer := 0;
    v integer;
    cifre integer[] := '{}';
    g integer; m integer; a integer;
BEGIN
    IF c IS NULL OR c !~ '^[0-9A-Z]{16}$' THEN
        RETURN;
    END IF;
    FOR i IN 1..15 LOOP
        v := ascii(substr(c, i, 1)) - 48;
        IF i % 2 = 1 THEN
            somma := somma + dispari[v + 1];
        ELSIF v <= 9 THEN
            somma := somma + v;
        ELSE
            somma := somma + v - 17;
        END IF;
    END LOOP;
    IF substr(c, 16, 1) <> chr(65 + somma % 26) THEN
        RETURN;
    END IF;
    FOREACH v IN ARRAY ARRAY[7, 8, 10, 11] LOOP
        cifre := cifre || CASE WHEN substr(c, v, 1) ~ '[0-9]' THEN substr(c, v, 1)::integer
                               ELSE strpos('LMNPQRSTUV', substr(c, v, 1)) - 1 END;
    END LOOP;
    m := strpos('ABCDEHLMPRST', substr(c, 9, 1));
    IF -1 = ANY (cifre) OR m = 0 THEN
        RETURN;
    END IF;
    a := cifre[1] * 10 + cifre[2];
    g := cifre[3] * 10 + cifre[4];
    femmina := g > 40;
    IF femmina THEN
        g := g - 40;
    END IF;
    nascita := data_testo(format('%s/%s/%s', g, m, 2000 + a));
    IF nascita IS NULL OR nascita > oggi THEN
        nascita := data_testo(format('%s/%s/%s', g, m, 1900 + a));
    END IF;
    IF nascita IS NULL OR nascita > oggi THEN
        nascita := NULL;
        femmina := NULL;
    END IF;
END $$;

-- The age group (0-17, 18-29, 30-44, 45-59, 60-74, 75+ as 0..5) on `oggi`; -1 unknown.
-- age() counts a year once month and day are reached, as the program does.
CREATE FUNCTION fascia_eta(nascita date, oggi date) RETURNS integer LANGUAGE sql IMMUTABLE
    PARALLEL SAFE AS $$
    SELECT CASE WHEN nascita IS NULL OR nascita > oggi THEN -1 ELSE
        width_bucket(extract(year FROM age(oggi, nascita))::integer, ARRAY[18, 30, 45, 60, 75])
    END
$$;

-- Town, province and role as grouped: runs of blanks one blank, ends trimmed, A-Z upper.
CREATE FUNCTION nome_gruppo(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT upper(btrim(regexp_replace(t, '[\x01-\x20]+', ' ', 'g')))
$$;
RESET ROLE;
GRANT EXECUTE ON FUNCTION data_testo(text), nascita_cf(text, date), fascia_eta(date, date),
      nome_gruppo(text) TO quorvel_sportello;

-- The search screen's list of every record without a filter, read from this index alone
-- in position order: the wide rows of schede are not taken apart for five fields.
SET ROLE quorvel_proprietario;
CREATE INDEX schede_elenco ON schede (posizione)
    INCLUDE (tesserato, numtessera, datascade, recapito, note) WHERE annullata = 'No';
RESET ROLE;
