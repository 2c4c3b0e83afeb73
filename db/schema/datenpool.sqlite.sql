-- Datenpool for Anschriftenwandler (embedded SQLite edition).
-- Creates the staging table AdressenImport, the address table Adressen and the two
-- routines the tool runs by name. Text lengths hold what a converted address can carry:
-- a field line is at most 200 characters, a composed letter salutation repeats the surname.

PRAGMA foreign_keys = ON;

CREATE TABLE AdressenImport (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    fremdid           FLOAT,
    Briefanrede       VARCHAR(500),
    anrede            VARCHAR(255),
    vorname           VARCHAR(255),
    nachname          VARCHAR(255),
    Registergericht   VARCHAR(255),
    HR2               VARCHAR(255),
    Adresszusaetze    VARCHAR(255),
    Beruf             VARCHAR(255),
    Geburtstag        DATE,
    GebNameVertr      VARCHAR(255),
    WeitereSelektion  VARCHAR(255),
    telefon1          VARCHAR(255),
    telefon2          VARCHAR(255),
    telefax           VARCHAR(255),
    Email             VARCHAR(255),
    homepage          VARCHAR(255),
    Postfach          VARCHAR(255),
    PLZOrtPostfach    VARCHAR(255),
    strassenr         VARCHAR(255),
    PLZOrt            VARCHAR(255),
    Bemerkungen       VARCHAR(255),
    Kennzeichen       VARCHAR(255),
    Bank              VARCHAR(255),
    BankOrt           VARCHAR(255),
    Bankleitzahl      VARCHAR(255),
    KontoNummer       VARCHAR(255)
);

CREATE TABLE Adressen (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    fremdid           FLOAT,
    Briefanrede       VARCHAR(500),
    anrede            VARCHAR(255),
    vorname           VARCHAR(255),
    nachname          VARCHAR(255),
    Registergericht   VARCHAR(255),
    HR2               VARCHAR(255),
    Adresszusaetze    VARCHAR(255),
    Beruf             VARCHAR(255),
    Geburtstag        DATE,
    GebNameVertr      VARCHAR(255),
    WeitereSelektion  VARCHAR(255),
    telefon1          VARCHAR(255),
    telefon2          VARCHAR(255),
    telefax           VARCHAR(255),
    Email             VARCHAR(255),
    homepage          VARCHAR(255),
    Postfach          VARCHAR(255),
    PLZOrtPostfach    VARCHAR(255),
    strassenr         VARCHAR(255),
    PLZOrt            VARCHAR(255),
    Bemerkungen       VARCHAR(255),
    Kennzeichen       VARCHAR(255),
    Bank              VARCHAR(255),
    BankOrt           VARCHAR(255),
    Bankleitzahl      VARCHAR(255),
    KontoNummer       VARCHAR(255)
);

-- The database's routines: the embedded Datenpool runs a routine's body when a command
-- text names it.
CREATE TABLE Routinen (
    Name   VARCHAR(128) PRIMARY KEY COLLATE NOCASE,
    Rumpf  TEXT NOT NULL
);

-- Copies every staged address into Adressen, in staging order; the new rows get the ids
-- above the highest id before the copy.
INSERT INTO Routinen (Name, Rumpf) VALUES ('AdressImport', '
INSERT INTO Adressen (fremdid, Briefanrede, anrede, vorname, nachname, Registergericht, HR2,
    Adresszusaetze, Beruf, Geburtstag, GebNameVertr, WeitereSelektion, telefon1, telefon2, telefax,
    Email, homepage, Postfach, PLZOrtPostfach, strassenr, PLZOrt, Bemerkungen, Kennzeichen, Bank,
    BankOrt, Bankleitzahl, KontoNummer)
SELECT fremdid, Briefanrede, anrede, vorname, nachname, Registergericht, HR2,
    Adresszusaetze, Beruf, Geburtstag, GebNameVertr, WeitereSelektion, telefon1, telefon2, telefax,
    Email, homepage, Postfach, PLZOrtPostfach, strassenr, PLZOrt, Bemerkungen, Kennzeichen, Bank,
    BankOrt, Bankleitzahl, KontoNummer
FROM AdressenImport ORDER BY id;
');

-- Maintenance after an import: refreshes the query planner's statistics of the address table.
INSERT INTO Routinen (Name, Rumpf) VALUES ('Datenpflege', 'ANALYZE Adressen;');
