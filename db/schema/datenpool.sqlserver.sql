-- Datenpool for Anschriftenwandler (SQL Server edition), SQL Server 2012 or later.
-- Creates the staging table AdressenImport and the address table Adressen where they are
-- missing, with the columns and lengths of the embedded edition (datenpool.sqlite.sql), and
-- the two stored procedures the tool runs by name where they are missing. Tables and their rows
-- stay. Procedures that are there are the law-office system's own: they stay as they are unless
-- the run is told to replace them with this script's bodies (ProzedurenErsetzen=1).
-- Run it in the law-office database, stopping at the first error, and say what becomes of the
-- procedures that are there already (0: they stay, 1: they are replaced), e.g.
--   sqlcmd -b -S SRV\KANZLEI -d Norvel -E -v ProzedurenErsetzen=0 -i datenpool.sqlserver.sql
-- The choice has no default on purpose: a :setvar in the script would overrule the -v of the
-- command line, so a run without -v stops here before it changes anything.
-- (sqlcmd 18 checks the server's certificate: add -C for a server with a self-signed one.)
-- Texts are nvarchar: a length counts characters, as the tool counts them.

SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
IF N'$(ProzedurenErsetzen)' NOT IN (N'0', N'1')
    RAISERROR (N'ProzedurenErsetzen muss 0 (vorhandene Prozeduren bleiben) oder 1 (sie werden ersetzt) sein.', 16, 1);
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

-- Each procedure's body is written once: CREATE where it is missing, ALTER only when asked to.
-- CREATE PROCEDURE must stand alone in its batch, hence EXEC.

-- Copies every staged address into Adressen, in staging order; the new rows get the ids
-- above the highest id before the copy.
DECLARE @Rumpf NVARCHAR(MAX) = N'PROCEDURE dbo.AdressImport
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
END;';
IF OBJECT_ID(N'dbo.AdressImport', N'P') IS NULL
BEGIN
    EXEC (N'CREATE ' + @Rumpf);
    PRINT N'Die Prozedur dbo.AdressImport wurde angelegt.';
END
ELSE IF N'$(ProzedurenErsetzen)' = N'1'
BEGIN
    EXEC (N'ALTER ' + @Rumpf);
    PRINT N'Die vorhandene Prozedur dbo.AdressImport wurde durch die dieses Skripts ersetzt.';
END
ELSE
    PRINT N'Die Prozedur dbo.AdressImport ist vorhanden und bleibt, wie sie ist.';
GO

-- Maintenance after an import: refreshes the query optimizer's statistics of the address table.
DECLARE @Rumpf NVARCHAR(MAX) = N'PROCEDURE dbo.Datenpflege
AS
BEGIN
    SET NOCOUNT ON;
    UPDATE STATISTICS dbo.Adressen;
END;';
IF OBJECT_ID(N'dbo.Datenpflege', N'P') IS NULL
BEGIN
    EXEC (N'CREATE ' + @Rumpf);
    PRINT N'Die Prozedur dbo.Datenpflege wurde angelegt.';
END
ELSE IF N'$(ProzedurenErsetzen)' = N'1'
BEGIN
    EXEC (N'ALTER ' + @Rumpf);
    PRINT N'Die vorhandene Prozedur dbo.Datenpflege wurde durch die dieses Skripts ersetzt.';
END
ELSE
    PRINT N'Die Prozedur dbo.Datenpflege ist vorhanden und bleibt, wie sie ist.';
GO
