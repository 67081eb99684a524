#include "register/schema.h"

namespace reg {

const std::vector<TableColumns>& registerTables()
{
    static const std::vector<TableColumns> t = {
        {"spectrum",
         {"licenceid", "spectrumlow", "spectrumhigh", "spectrumtypeid", "spectrumstatusid", "serviceid",
          "spectrumlabel", "SpectrumRemarks", "managementrightid"}},
        {"transmitconfiguration", {"licenceid", "locationid"}},
        {"location", {"locationid", "districtid", "locationname", "locationtypeid"}},
        {"geographicreference", {"locationid", "georeferencetypeid", "referenceorder", "easting", "northing"}},
        {"licence", {"licenceid", "licencenumber", "managementrightid", "clientid"}},
        {"issuingoffice", {"officeid", "officecode"}},
        {"clientname", {"clientid", "name", "legal_order"}},
        {"mapdistrict", {"map", "district"}},
    };
    return t;
}

QStringList createTableStatements()
{
    return {
        "CREATE TABLE spectrum (spectrumid INTEGER PRIMARY KEY, licenceid INTEGER, spectrumlow REAL, "
        "spectrumhigh REAL, spectrumtypeid INTEGER, spectrumstatusid INTEGER, serviceid INTEGER, "
        "spectrumlabel TEXT, SpectrumRemarks TEXT, managementrightid INTEGER)",
        "CREATE TABLE transmitconfiguration (transmitconfigurationid INTEGER PRIMARY KEY, licenceid INTEGER, "
        "locationid INTEGER)",
        "CREATE TABLE location (locationid INTEGER PRIMARY KEY, districtid INTEGER, locationname TEXT, "
        "locationtypeid INTEGER)",
        "CREATE TABLE geographicreference (geographicreferenceid INTEGER PRIMARY KEY, locationid INTEGER, "
        "georeferencetypeid INTEGER, referenceorder INTEGER, easting REAL, northing REAL)",
        "CREATE TABLE licence (licenceid INTEGER PRIMARY KEY, licencenumber INTEGER, managementrightid INTEGER, "
        "clientid INTEGER)",
        "CREATE TABLE issuingoffice (officeid INTEGER PRIMARY KEY, officecode TEXT, officename TEXT)",
        "CREATE TABLE clientname (clientnameid INTEGER PRIMARY KEY, clientid INTEGER, name TEXT, "
        "legal_order INTEGER)",
        "CREATE TABLE mapdistrict (map TEXT, district TEXT)",
    };
}

// Only indexes the program's statements use (their query plans were read
// on a national register): the range of a search, a listing or a hover
// lookup, and the join keys. A listing's range is read from an index that
// holds every column its statements take from the spectrum records, so that
// the records of other districts in the range cost no visit to the table.
QStringList createIndexStatements(const QString& table)
{
    static const QStringList all = {
        "CREATE INDEX IF NOT EXISTS ix_spectrum_listing ON spectrum (spectrumlow, spectrumhigh, spectrumstatusid, "
        "spectrumtypeid, licenceid, spectrumlabel)",
        "CREATE INDEX IF NOT EXISTS ix_transmit_licence ON transmitconfiguration (licenceid, locationid)",
        "CREATE INDEX IF NOT EXISTS ix_location_id ON location (locationid, districtid)",
        "CREATE INDEX IF NOT EXISTS ix_georef_location ON geographicreference (locationid, georeferencetypeid, "
        "referenceorder)",
        "CREATE INDEX IF NOT EXISTS ix_licence_id ON licence (licenceid)",
        "CREATE INDEX IF NOT EXISTS ix_office_id ON issuingoffice (officeid)",
        "CREATE INDEX IF NOT EXISTS ix_client_id ON clientname (clientid, legal_order)",
    };
    if (table.isEmpty())
        return all;
    QStringList mine;
    for (const QString& s : all)
        if (s.contains(QStringLiteral(" ON ") + table.toLower() + QStringLiteral(" (")))
            mine << s;
    return mine;
}

}  // namespace reg
