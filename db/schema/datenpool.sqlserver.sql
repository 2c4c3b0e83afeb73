-- Datenpool for Anschriftenwandler (SQL Server edition), SQL Server 2012 or later.
-- Creates the staging table AdressenImport and the address table Adressen where they are
-- missing, with the columns and lengths of the embedded edition (datenpool.sqlite.sql), and
-- creates or alters the two stored procedures the tool runs by name. It can be run again on a
-- database that has them: tables and their rows stay, the procedures take this script's body.
-- Run it in the law-office database, stopping at the first error, e.g.
--   sqlcmd -b -S SRV\KANZLEI -d Norvel -E -i datenpool.sqlserver.sql
-- (sqlcmd 18 checks the server's certificate: add -C for a server with a self-signed one.)
-- Texts are nvarchar: a length counts characters, as the tool counts them.

SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

IF OBJECT_ID(N'dbo.AdressenImport', N'U') IS NULL
CREATE TABLE dbo.AdressenImport (
    id                INT IDENTITY(1, 1) NOT NULL CONSTRAINT PK_AdressenImport PRIMARY KEY,
    fremdid           FLOAT NULL,
    Briefanrede       NVARCHAR(500) NULL,
    anrede            NVARCHAR(255) NULL,
    vorname           NVARCHAR(255) NULL,
    nachname          NVARCHAR(255) NULL,
    Registergericht   NVARCHAR(255) NULL,
    HR2               NVARCHAR(255) NULL,
    Adresszusaetze    NVARCHAR(255) NULL,
    Beruf             NVARCHAR(255) NULL,
    Geburtstag        DATE NULL,
    GebNameVertr      NVARCHAR(255) NULL,
    WeitereSelektion  NVARCHAR(255) NULL,
    telefon1          NVARCHAR(255) NULL,
    telefon2          NVARCHAR(255) NULL,
    telefax           NVARCHAR(255) NULL,
    Email             NVARCHAR(255) NULL,
    homepage          NVARCHAR(255) NULL,
    Postfach          NVARCHAR(255) NULL,
    PLZOrtPostfach    NVARCHAR(255) NULL,
    strassenr         NVARCHAR(255) NULL,
    PLZOrt            NVARCHAR(255) NULL,
    Bemerkungen       NVARCHAR(255) NULL,
    Kennzeichen       NVARCHAR(255) NULL,
    Bank              NVARCHAR(255) NULL,
    BankOrt           NVARCHAR(255) NULL,
    Bankleitzahl      NVARCHAR(255) NULL,
    KontoNummer       NVARCHAR(255) NULL
);
GO

IF OBJECT_ID(N'dbo.Adressen', N'U') IS NULL
CREATE TABLE dbo.Adressen (
    id                INT IDENTITY(1, 1) NOT NULL CONSTRAINT PK_Adressen PRIMARY KEY,
    fremdid           FLOAT NULL,
    Briefanrede       NVARCHAR(500) NULL,
    anrede            NVARCHAR(255) NULL,
    vorname           NVARCHAR(255) NULL,
    nachname          NVARCHAR(255) NULL,
    Registergericht   NVARCHAR(255) NULL,
    HR2               NVARCHAR(255) NULL,
    Adresszusaetze    NVARCHAR(255) NULL,
    Beruf             NVARCHAR(255) NULL,
    Geburtstag        DATE NULL,
    GebNameVertr      NVARCHAR(255) NULL,
    WeitereSelektion  NVARCHAR(255) NULL,
    telefon1          NVARCHAR(255) NULL,
    telefon2          NVARCHAR(255) NULL,
    telefax           NVARCHAR(255) NULL,
    Email             NVARCHAR(255) NULL,
    homepage          NVARCHAR(255) NULL,
    Postfach          NVARCHAR(255) NULL,
    PLZOrtPostfach    NVARCHAR(255) NULL,
    strassenr         NVARCHAR(255) NULL,
    PLZOrt            NVARCHAR(255) NULL,
    Bemerkungen       NVARCHAR(255) NULL,
    Kennzeichen       NVARCHAR(255) NULL,
    Bank              NVARCHAR(255) NULL,
    BankOrt           NVARCHAR(255) NULL,
    Bankleitzahl      NVARCHAR(255) NULL,
    KontoNummer       NVARCHAR(255) NULL
);
GO

-- A procedure is created empty where it is missing and then altered, so that a second run
-- replaces its body (CREATE OR ALTER would need SQL Server 2016 SP1).
IF OBJECT_ID(N'dbo.AdressImport', N'P') IS NULL EXEC (N'CREATE PROCEDURE dbo.AdressImport AS RETURN 0;');
IF OBJECT_ID(N'dbo.Datenpflege', N'P') IS NULL EXEC (N'CREATE PROCEDURE dbo.Datenpflege AS RETURN 0;');
GO

-- Copies every staged address into Adressen, in staging order; the new rows get the ids
-- above the highest id before the copy.
ALTER PROCEDURE dbo.AdressImport
AS
BEGIN
    SET NOCOUNT ON;
    INSERT INTO dbo.Adressen (fremdid, Briefanrede, anrede, vorname, nachname, Registergericht, HR2,
        Adresszusaetze, Beruf, Geburtstag, GebNameVertr, WeitereSelektion, telefon1, telefon2, telefax,
        Email, homepage, Postfach, PLZOrtPostfach, strassenr, PLZOrt, Bemerkungen, Kennzeichen, Bank,
        BankOrt, Bankleitzahl, KontoNummer)
    SELECT fremdid, Briefanrede, anrede, vorname, nachname, Registergericht, HR2,
        Adresszusaetze, Beruf, Geburtstag, GebNameVertr, WeitereSelektion, telefon1, telefon2, telefax,
        Email, homepage, Postfach, PLZOrtPostfach, strassenr, PLZOrt, Bemerkungen, Kennzeichen, Bank,
        BankOrt, Bankleitzahl, KontoNummer
    FROM dbo.AdressenImport
    ORDER BY id;
END;
GO

-- Maintenance after an import: refreshes the query optimizer's statistics of the address table.
ALTER PROCEDURE dbo.Datenpflege
AS
BEGIN
    SET NOCOUNT ON;
    UPDATE STATISTICS dbo.Adressen;
END;
GO
