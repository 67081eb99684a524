// orvane-make-register: writes a sample spectrum register (an SQLite file
// with the eight register tables, or the same register as an Access 2000
// file), deterministic for a seed.
//
//   orvane-make-register [--out FILE] [--scale S] [--seed N] [--format sqlite|access]
//   orvane-make-register --format access --from REGISTER.sqlite --out FILE
//
// The content is made up but shaped like a national register: ITU Region 3
// allocations across the spectrum, spectrum bands, management rights in the
// cellular and broadband bands, planned channel plans, and licences of every
// common kind at transmitter sites on New Zealand land.

#include "jet4_writer.h"
#include "register/schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "itu_region3_text.h"

namespace {

struct Place {
    const char* name;
    int district;
    const char* region;
    double lat, lon;
    double easting, northing;
    int hill;
};

const Place kPlaces[] = {
#include "places.inc"
};

// A small deterministic generator (splitmix64), the same on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t next()
    {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform integer in [lo, hi].
    int64_t range(int64_t lo, int64_t hi) { return lo + int64_t(next() % uint64_t(hi - lo + 1)); }
    bool chance(double p) { return real() < p; }
    template <class T>
    const T& pick(const std::vector<T>& v) { return v[size_t(range(0, int64_t(v.size()) - 1))]; }

private:
    uint64_t s_;
};

// Frequencies are held to 1 Hz so that equal channel edges compare equal.
double hz(double mhz) { return std::round(mhz * 1e6) / 1e6; }

struct Db {
    sqlite3* db = nullptr;
    std::map<std::string, sqlite3_stmt*> stmts;

    void exec(const std::string& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "orvane-make-register: %s\n  in: %s\n", err ? err : "?", sql.c_str());
            std::exit(1);
        }
    }
    sqlite3_stmt* prep(const std::string& sql)
    {
        auto it = stmts.find(sql);
        if (it != stmts.end())
            return it->second;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "orvane-make-register: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        stmts[sql] = s;
        return s;
    }
    void step(sqlite3_stmt* s)
    {
        if (sqlite3_step(s) != SQLITE_DONE) {
            std::fprintf(stderr, "orvane-make-register: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
    ~Db()
    {
        for (auto& [k, s] : stmts)
            sqlite3_finalize(s);
        if (db)
            sqlite3_close(db);
    }
};

void bindText(sqlite3_stmt* s, int i, const std::string& t, bool nullIfEmpty = true)
{
    if (t.empty() && nullIfEmpty)
        sqlite3_bind_null(s, i);
    else
        sqlite3_bind_text(s, i, t.c_str(), int(t.size()), SQLITE_TRANSIENT);
}

void bindInt(sqlite3_stmt* s, int i, int64_t v, bool isNull = false)
{
    if (isNull)
        sqlite3_bind_null(s, i);
    else
        sqlite3_bind_int64(s, i, v);
}

// Service ids of the allocation colour table.
int serviceIdOf(std::string service)
{
    for (auto& c : service)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    auto has = [&](const char* w) { return service.find(w) != std::string::npos; };
    if (has("AMATEUR")) return 27;
    if (has("SATELLITE")) return 29;
    if (has("AERONAUTICAL")) return 28;
    if (has("MARITIME")) return 19;
    if (has("RADIONAVIGATION")) return 17;
    if (has("LAND MOBILE")) return 25;
    if (has("BROADCASTING")) return 26;
    if (has("FIXED")) return 18;
    if (has("MOBILE")) return 30;
    if (has("RADIOLOCATION")) return 20;
    if (has("RADIO ASTRONOMY")) return 21;
    if (has("SPACE")) return 22;
    if (has("METEOROLOGICAL")) return 23;
    if (has("STANDARD FREQUENCY")) return 24;
    return 31;
}

class Generator {
public:
    Generator(Db& db, double scale, uint64_t seed) : db_(db), scale_(scale), rng_(seed) {}

    void run()
    {
        offices();
        clients();
        locations();
        ituAllocations();
        bands();
        managementRights();
        plans();
        licences();
        untidyRows();
        mapDistricts();
    }

private:
    struct Site {
        int64_t locationId;
        int district;
        size_t place;
    };

    int64_t scaled(double n) const { return std::max<int64_t>(1, int64_t(std::llround(n * scale_))); }

    // An empty `label` is stored as NULL unless `emptyLabel` asks for an empty text.
    int64_t spectrum(int64_t licenceId, double low, double high, int type, int status, int service,
                     const std::string& label, const std::string& remarks, int64_t mr = 0, bool emptyLabel = false)
    {
        sqlite3_stmt* s = db_.prep(
            "INSERT INTO spectrum (spectrumid, licenceid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, "
            "serviceid, spectrumlabel, SpectrumRemarks, managementrightid) VALUES (?,?,?,?,?,?,?,?,?,?)");
        const int64_t id = ++spectrumId_;
        bindInt(s, 1, id);
        bindInt(s, 2, licenceId, licenceId == 0);
        sqlite3_bind_double(s, 3, hz(low));
        sqlite3_bind_double(s, 4, hz(high));
        bindInt(s, 5, type);
        bindInt(s, 6, status);
        bindInt(s, 7, service);
        bindText(s, 8, label, !emptyLabel);
        bindText(s, 9, remarks);
        bindInt(s, 10, mr, mr == 0);
        db_.step(s);
        return id;
    }

    void offices()
    {
        static const char* codes[] = {"WR", "AK", "HN", "TG", "RO", "NU", "NA", "PM", "WN",
                                      "NN", "CH", "DN", "IN", "HO", "CHM", "OS", "NZ"};
        static const char* names[] = {"Whangārei", "Auckland", "Hamilton", "Tauranga", "Rotorua", "New Plymouth",
                                      "Napier", "Palmerston North", "Wellington", "Nelson", "Christchurch",
                                      "Dunedin", "Invercargill", "Head Office", "Chatham Is", "Overseas",
                                      "New Zealand"};
        sqlite3_stmt* s = db_.prep("INSERT INTO issuingoffice (officeid, officecode, officename) VALUES (?,?,?)");
        for (int i = 0; i < 17; ++i) {
            bindInt(s, 1, i + 1);
            bindText(s, 2, codes[i]);
            bindText(s, 3, names[i]);
            db_.step(s);
        }
    }

    void clients()
    {
        static const std::vector<std::string> first = {
            "Kōwhai", "Tōtara", "Rimu", "Kauri", "Mataī", "Miro", "Harakeke", "Tūī", "Kererū", "Pūkeko", "Kākā",
            "Weka", "Ruru", "Kārearea", "Moana", "Awa", "Maunga", "Southern", "Northern", "Coastal", "Alpine",
            "Harbour", "Valley", "Summit", "Ridgeline", "Plains", "Lakeside", "Riverbend", "Westward", "Eastgate",
            "Greenstone", "Silver Fern", "Bluegum", "Raupō", "Mānuka", "Kahikatea", "Tawa", "Ponga", "Flax Hill",
            "Red Tussock", "Stony Creek", "Three Rivers", "Long Beach", "High Country", "Black Sand", "Clearwater"};
        static const std::vector<std::string> trade = {
            "Radio", "Communications", "Networks", "Broadcasting", "Marine Services", "Transport", "Security",
            "Farming", "Logistics", "Electrical", "Civil Works", "Aviation", "Fisheries", "Forestry", "Contracting",
            "Taxis", "Couriers", "Energy", "Irrigation", "Surveying", "Helicopters", "Tours", "Dairy", "Engineering"};
        static const std::vector<std::string> suffix = {"Limited", "Limited", "Limited", "Trust", "Society Incorporated",
                                                        "Co-operative", "Holdings Limited"};
        sqlite3_stmt* s = db_.prep("INSERT INTO clientname (clientnameid, clientid, name, legal_order) VALUES (?,?,?,?)");
        const int64_t n = scaled(9000);
        int64_t nameId = 0;
        std::set<std::string> used;
        for (int64_t c = 1; c <= n; ++c) {
            std::string name;
            for (int attempt = 0; attempt < 50; ++attempt) {
                name = rng_.pick(first) + " " + rng_.pick(trade) + " " + rng_.pick(suffix);
                if (attempt > 5)
                    name = rng_.pick(first) + " " + rng_.pick(first) + " " + rng_.pick(trade) + " " + rng_.pick(suffix);
                if (used.insert(name).second)
                    break;
            }
            bindInt(s, 1, ++nameId);
            bindInt(s, 2, c);
            bindText(s, 3, name);
            bindInt(s, 4, reg::kLegalName);
            db_.step(s);
            if (rng_.chance(0.25)) {
                // A trading name besides the legal one.
                bindInt(s, 1, ++nameId);
                bindInt(s, 2, c);
                bindText(s, 3, rng_.pick(first) + " " + rng_.pick(trade));
                bindInt(s, 4, 2);
                db_.step(s);
            }
        }
        clientCount_ = n;
    }

    void locations()
    {
        static const std::vector<std::string> kinds = {"",           " Exchange", " Depot",       " Repeater",
                                                       " Water Tower", " Station", " Police",     " Fire Station",
                                                       " Hospital",   " Airport",  " Wharf",       " School",
                                                       " Hill",       " Reservoir", " Substation", " Quarry"};
        sqlite3_stmt* loc =
            db_.prep("INSERT INTO location (locationid, districtid, locationname, locationtypeid) VALUES (?,?,?,?)");
        sqlite3_stmt* geo = db_.prep(
            "INSERT INTO geographicreference (geographicreferenceid, locationid, georeferencetypeid, referenceorder, "
            "easting, northing) VALUES (?,?,?,?,?,?)");
        const size_t nPlaces = sizeof kPlaces / sizeof kPlaces[0];
        const int64_t n = scaled(9000);
        int64_t geoId = 0;
        for (int64_t id = 1; id <= n; ++id) {
            // Hill-top sites and the big towns carry more transmitters.
            size_t pi;
            do {
                pi = size_t(rng_.range(0, int64_t(nPlaces) - 1));
            } while (!kPlaces[pi].hill && rng_.chance(0.35));
            const Place& p = kPlaces[pi];
            std::string name = p.name;
            if (id > int64_t(nPlaces) || !p.hill) {
                name += rng_.pick(kinds);
                if (rng_.chance(0.4))
                    name += " " + std::to_string(rng_.range(1, 40));
            }
            if (rng_.chance(0.03))
                name = "  " + name + " ";  // untidy blanks, trimmed by the program
            bindInt(loc, 1, id);
            bindInt(loc, 2, p.district);
            bindText(loc, 3, name);
            bindInt(loc, 4, rng_.range(1, 6));
            db_.step(loc);
            sites_.push_back({id, p.district, pi});
            byDistrict_[p.district].push_back(sites_.size() - 1);

            const bool onMap = p.easting > 0 && p.easting >= 1841923 && p.easting <= 3168923;
            if (onMap && !rng_.chance(0.02)) {
                // Within a few hundred metres of the place, so the site stays on land.
                const double e = std::round(p.easting + rng_.range(-600, 600));
                const double nn = std::round(p.northing + rng_.range(-600, 600));
                bindInt(geo, 1, ++geoId);
                bindInt(geo, 2, id);
                bindInt(geo, 3, reg::kGeoRefNzmg);
                bindInt(geo, 4, reg::kReferenceOrderUsed);
                sqlite3_bind_double(geo, 5, e);
                sqlite3_bind_double(geo, 6, nn);
                db_.step(geo);
                if (rng_.chance(0.05)) {
                    // An older survey of the same site, not the one used.
                    bindInt(geo, 1, ++geoId);
                    bindInt(geo, 2, id);
                    bindInt(geo, 3, reg::kGeoRefNzmg);
                    bindInt(geo, 4, 2);
                    sqlite3_bind_double(geo, 5, e + rng_.range(-300, 300));
                    sqlite3_bind_double(geo, 6, nn + rng_.range(-300, 300));
                    db_.step(geo);
                }
            }
            if (p.easting > 0 && rng_.chance(0.3)) {
                // A latitude and longitude reference (another reference type).
                bindInt(geo, 1, ++geoId);
                bindInt(geo, 2, id);
                bindInt(geo, 3, 3);
                bindInt(geo, 4, 1);
                sqlite3_bind_double(geo, 5, p.lon);
                sqlite3_bind_double(geo, 6, p.lat);
                db_.step(geo);
            }
        }
    }

    // The footnotes of a band, as long as the Radio Regulations make some of
    // them: more than 16 KB of text.
    static std::string footnotes(double low, double high, int first)
    {
        static const char* const services[] = {"FIXED", "MOBILE", "RADIOLOCATION", "AERONAUTICAL RADIONAVIGATION",
                                               "SPACE RESEARCH", "RADIO ASTRONOMY"};
        static const char* const where[] = {"New Zealand", "Aotearoa New Zealand (including Te Ika-a-Māui and "
                                            "Te Waipounamu)", "the Cook Islands and Niue", "Tokelau",
                                            "the Ross Dependency"};
        char band[64];
        std::snprintf(band, sizeof band, "%.6g-%.6g MHz", low, high);
        std::string text;
        for (int k = 0; text.size() <= 17000; ++k) {
            const int n = first + k;
            text += "5." + std::to_string(n) + "  Additional allocation: in " + where[k % 5] + ", the band " + band +
                    " is also allocated to the " + services[k % 6] + " service on a " +
                    (k % 3 ? "secondary" : "primary") + " basis, subject to agreement obtained under No. 9.21. "
                    "Stations of this service shall not cause harmful interference to, or claim protection from, "
                    "stations operating in accordance with the Table (Resolution " + std::to_string(200 + n % 500) +
                    " (Rev.WRC-19)).\n";
        }
        return text;
    }

    void ituAllocations()
    {
        std::istringstream in(kItuRegion3Text);
        std::string line;
        int bandNumber = 0;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            const size_t a = line.find('|'), b = line.find('|', a + 1);
            const double low = std::stod(line.substr(0, a));
            const double high = std::stod(line.substr(a + 1, b - a - 1));
            std::string services = line.substr(b + 1);
            std::string band;
            std::vector<std::string> list;
            size_t pos = 0;
            while (pos <= services.size()) {
                const size_t e = services.find(';', pos);
                list.push_back(services.substr(pos, e == std::string::npos ? std::string::npos : e - pos));
                if (e == std::string::npos)
                    break;
                pos = e + 1;
            }
            // Every 150th band also carries its footnotes.
            const bool noted = bandNumber++ % 150 == 75;
            for (const std::string& s : list)
                spectrum(0, low, high, reg::kTypeItuAllocation, reg::kStatusLicensed, serviceIdOf(s), "",
                         noted && &s == &list.front() ? s + "\n" + footnotes(low, high, 100 + bandNumber) : s);
        }
    }

    void bands()
    {
        struct B { double low, high; const char* name; };
        static const B list[] = {
            {0.5265, 1.6065, "MF AM Broadcasting Band"}, {1.8, 1.875, "160 m Amateur Band"},
            {2.0, 2.85, "HF Fixed and Mobile Band"}, {3.5, 3.9, "80 m Amateur Band"},
            {4.0, 4.438, "HF Maritime Band (4 MHz)"}, {5.9, 6.2, "49 m Broadcasting Band"},
            {6.2, 6.525, "HF Maritime Band (6 MHz)"}, {7.0, 7.3, "40 m Amateur Band"},
            {8.195, 8.815, "HF Maritime Band (8 MHz)"}, {14.0, 14.35, "20 m Amateur Band"},
            {26.957, 27.283, "ISM and Citizen Band"}, {26.33, 26.47, "27 MHz Citizen Band (Region)"},
            {29.7, 30.0, "HF Land Mobile Band"}, {30.0, 47.0, "Low Band VHF Land Mobile"},
            {50.0, 54.0, "6 m Amateur Band"}, {54.0, 68.0, "Band I Television"},
            {88.0, 108.0, "Band II FM Broadcasting"}, {108.0, 117.975, "Aeronautical Radionavigation Band"},
            {118.0, 137.0, "VHF Aeronautical Mobile Band"}, {138.0, 144.0, "VHF Defence and Land Mobile"},
            {144.0, 148.0, "2 m Amateur Band"}, {148.0, 156.0, "VHF Land Mobile Band"},
            {156.0, 162.05, "VHF Maritime Mobile Band"}, {162.05, 174.0, "VHF Land Mobile Band (High)"},
            {174.0, 230.0, "Band III Television"}, {230.0, 335.4, "UHF Defence Band"},
            {335.4, 400.0, "UHF Fixed and Mobile Band"}, {400.0, 420.0, "UHF Land Mobile Band (400)"},
            {420.0, 430.0, "UHF Fixed Link Band"}, {430.0, 440.0, "70 cm Amateur Band"},
            {440.0, 470.0, "UHF Land Mobile Band"}, {470.0, 510.0, "UHF Television (Lower)"},
            {510.0, 606.0, "UHF Television Band IV"}, {606.0, 698.0, "UHF Television Band V"},
            {703.0, 803.0, "700 MHz Cellular Band"}, {806.0, 824.0, "800 MHz Trunked Mobile"},
            {819.0, 890.0, "850 MHz Cellular Band"}, {890.0, 960.0, "900 MHz Cellular Band"},
            {960.0, 1215.0, "Aeronautical Navigation (DME) Band"}, {1350.0, 1525.0, "L Band Fixed Link"},
            {1710.0, 1880.0, "1800 MHz Cellular Band"}, {1920.0, 2170.0, "2 GHz IMT Band"},
            {2300.0, 2400.0, "2.3 GHz Broadband Band"}, {2400.0, 2483.5, "2.4 GHz ISM Band"},
            {2500.0, 2690.0, "2.5 GHz Broadband Band"}, {3400.0, 3800.0, "3.5 GHz Broadband Band"},
            {5725.0, 5875.0, "5.8 GHz ISM Band"}, {5925.0, 6425.0, "Lower 6 GHz Fixed Link Band"},
            {6425.0, 7110.0, "Upper 6 GHz Fixed Link Band"}, {7425.0, 7900.0, "7.5 GHz Fixed Link Band"},
            {7900.0, 8500.0, "8 GHz Fixed Link Band"}, {10700.0, 11700.0, "11 GHz Fixed Link Band"},
            {12750.0, 13250.0, "13 GHz Fixed Link Band"}, {14500.0, 15350.0, "15 GHz Fixed Link Band"},
            {17700.0, 19700.0, "18 GHz Fixed Link Band"}, {21200.0, 23600.0, "23 GHz Fixed Link Band"},
            {24250.0, 27500.0, "26 GHz Broadband Band"}, {37000.0, 39500.0, "38 GHz Fixed Link Band"},
        };
        for (const B& b : list)
            spectrum(0, b.low, b.high, reg::kTypeBand, reg::kStatusLicensed, 31, "",
                     std::string(b.name) + ". The band's arrangements, its channel plans and the licences in it are "
                                           "kept in the register by district; the band plan sets its conditions of use.");
    }

    void managementRights()
    {
        struct M { double low, high; int parts; const char* name; };
        static const M list[] = {
            {703.0, 748.0, 5, "700 MHz uplink"}, {758.0, 803.0, 5, "700 MHz downlink"},
            {825.0, 845.0, 2, "850 MHz uplink"}, {870.0, 890.0, 2, "850 MHz downlink"},
            {890.0, 915.0, 3, "900 MHz uplink"}, {935.0, 960.0, 3, "900 MHz downlink"},
            {1710.0, 1785.0, 3, "1800 MHz uplink"}, {1805.0, 1880.0, 3, "1800 MHz downlink"},
            {1920.0, 1980.0, 4, "2100 MHz uplink"}, {2110.0, 2170.0, 4, "2100 MHz downlink"},
            {2300.0, 2400.0, 2, "2.3 GHz"}, {2500.0, 2690.0, 6, "2.5 GHz"}, {3410.0, 3800.0, 4, "3.5 GHz"},
            {24250.0, 27500.0, 3, "26 GHz"},
        };
        for (const M& m : list) {
            const double w = (m.high - m.low) / m.parts;
            for (int i = 0; i < m.parts; ++i) {
                const int64_t id = ++managementRightId_;
                const int status = (i == m.parts - 1 && rng_.chance(0.3)) ? reg::kStatusPlanned : reg::kStatusLicensed;
                spectrum(0, m.low + i * w, m.low + (i + 1) * w, reg::kTypeManagementRight, status, 30, "",
                         std::string("Management right, ") + m.name + " block " + std::to_string(i + 1), id);
                mrBlocks_.push_back({m.low + i * w, m.low + (i + 1) * w, id});
            }
        }
    }

    // A channel plan: planned records on a raster. Licences draw their channels
    // from the plans marked as shared (`pool` true).
    void plan(double from, double to, double raster, const std::string& prefix, int firstNumber, int service,
              const std::string& remarks, int type = reg::kTypeLicence4, bool pool = true)
    {
        int n = firstNumber;
        for (double low = from; low + raster <= to + 1e-9; low += raster, ++n) {
            // A plan without channel names has empty labels (texts, not NULLs).
            const std::string label = prefix.empty() ? std::string() : prefix + " " + std::to_string(n);
            spectrum(0, low, low + raster, type, reg::kStatusPlanned, service, label, remarks, 0, prefix.empty());
            (pool ? channels_[service] : segment_).push_back({hz(low), hz(low + raster)});
        }
    }

    void plans()
    {
        // Maritime VHF: the international channels, ship and coast halves.
        for (int ch = 1; ch <= 28; ++ch) {
            const double ship = 156.0 + 0.05 * ch - 0.0125;
            spectrum(0, ship, ship + 0.025, reg::kTypeLicence4, reg::kStatusPlanned, 19, "CH " + std::to_string(ch),
                     "Maritime VHF channel, ship transmit");
            channels_[19].push_back({hz(ship), hz(ship + 0.025)});
            if (ch != 6 && ch != 8 && ch != 9 && ch != 10 && ch != 13 && ch != 15 && ch != 16 && ch != 17) {
                spectrum(0, ship + 4.6, ship + 4.625, reg::kTypeLicence4, reg::kStatusPlanned, 19,
                         "CH " + std::to_string(ch), "Maritime VHF channel, coast transmit");
                channels_[19].push_back({hz(ship + 4.6), hz(ship + 4.625)});
            }
        }
        for (int ch = 60; ch <= 88; ++ch) {
            const double ship = 156.025 + 0.05 * (ch - 60);
            spectrum(0, ship - 0.0125, ship + 0.0125, reg::kTypeLicence4, reg::kStatusPlanned, 19,
                     "CH " + std::to_string(ch), "Maritime VHF channel, ship transmit");
            channels_[19].push_back({hz(ship - 0.0125), hz(ship + 0.0125)});
        }
        // Land mobile plans in 12.5 kHz, with 25 kHz and 6.25 kHz segments.
        plan(148.0, 156.0, 0.0125, "LM", 1, 25, "VHF land mobile channel plan");
        plan(157.0, 157.5, 0.0125, "", 1, 25, "VHF land mobile, simplex segment", reg::kTypeLicence5, false);
        plan(157.0, 157.5, 0.025, "A", 1, 25, "VHF land mobile, wideband segment", reg::kTypeLicence4, false);
        plan(157.5, 158.0, 0.00625, "N", 1, 25, "VHF narrowband segment", reg::kTypeLicence4, false);
        plan(162.05, 174.0, 0.0125, "LH", 1, 25, "VHF high band land mobile channel plan");
        plan(400.0, 420.0, 0.0125, "U", 1, 25, "UHF land mobile channel plan");
        plan(440.0, 470.0, 0.0125, "UH", 1, 25, "UHF land mobile channel plan");
        plan(470.0, 470.5, 0.00625, "D", 1, 25, "Digital narrowband segment");
        // Aeronautical VHF, 25 kHz channels.
        plan(118.0, 137.0, 0.025, "AIR", 1, 28, "VHF aeronautical channel plan");
        // FM broadcasting frequencies, television channels.
        plan(88.0, 108.0, 0.2, "FM", 1, 26, "FM broadcasting frequency plan");
        plan(174.0, 230.0, 7.0, "TV", 5, 26, "Band III television channel plan");
        plan(470.0, 606.0, 8.0, "CH", 21, 26, "UHF television channel plan");
        // Amateur repeater plan.
        plan(146.0, 148.0, 0.025, "RPT", 1, 27, "Amateur repeater plan");
        plan(438.0, 440.0, 0.025, "RU", 1, 27, "Amateur UHF repeater plan");
        // A few hundred extra plans to reach national size.
        const int64_t extra = scaled(3000);
        for (int64_t i = 0; i < extra; ++i) {
            const double low = 20.0 + rng_.real() * 5000.0;
            spectrum(0, low, low + 0.025, reg::kTypeLicence4, reg::kStatusPlanned, 30, "P " + std::to_string(i + 1),
                     "Reserved channel");
        }
    }

    struct Kind {
        const char* what;
        int service;
        double weight;
    };

    // Picks a site for a licence; broadcasting and mobile prefer hill tops.
    const Site& pickSite(bool hill, int district = 0)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            const Site* s;
            if (district > 0 && byDistrict_.count(district))
                s = &sites_[rng_.pick(byDistrict_[district])];
            else
                s = &sites_[size_t(rng_.range(0, int64_t(sites_.size()) - 1))];
            if (!hill || kPlaces[s->place].hill || attempt > 8)
                return *s;
        }
        return sites_.front();
    }

    int64_t newLicence(int64_t mr = 0)
    {
        sqlite3_stmt* s = db_.prep(
            "INSERT INTO licence (licenceid, licencenumber, managementrightid, clientid) VALUES (?,?,?,?)");
        const int64_t id = ++licenceId_;
        bindInt(s, 1, id);
        // Mostly six-digit numbers, a few of seven.
        bindInt(s, 2, rng_.chance(0.02) ? rng_.range(1000000, 1999999) : 100000 + id * 7 % 899999);
        bindInt(s, 3, mr, mr == 0 && rng_.chance(0.7));
        bindInt(s, 4, rng_.range(1, clientCount_));
        db_.step(s);
        return id;
    }

    void transmit(int64_t licenceId, const Site& site)
    {
        sqlite3_stmt* s =
            db_.prep("INSERT INTO transmitconfiguration (transmitconfigurationid, licenceid, locationid) VALUES (?,?,?)");
        bindInt(s, 1, ++transmitId_);
        bindInt(s, 2, licenceId);
        bindInt(s, 3, site.locationId);
        db_.step(s);
    }

    int licenceStatus() { return rng_.chance(0.8) ? reg::kStatusLicensed : reg::kStatusLicensed5; }
    int licenceType() { return rng_.chance(0.6) ? reg::kTypeLicence4 : reg::kTypeLicence5; }

    // One licence with its spectrum records and transmitters.
    void licenceOn(const std::vector<std::pair<double, double>>& ranges, int service, bool hill, int sitesWanted,
                   const std::string& label, const std::string& remarks, int64_t mr = 0)
    {
        const int64_t lic = newLicence(mr);
        const int status = licenceStatus();
        const int type = licenceType();
        for (const auto& r : ranges)
            spectrum(lic, r.first, r.second, type, status, service, label, remarks);
        const Site& first = pickSite(hill);
        transmit(lic, first);
        for (int i = 1; i < sitesWanted; ++i)
            transmit(lic, rng_.chance(0.6) ? pickSite(hill, first.district) : pickSite(hill));
    }

    std::pair<double, double> channel(int service)
    {
        const auto& list = channels_[service];
        return list[size_t(rng_.range(0, int64_t(list.size()) - 1))];
    }

    void licences()
    {
        // AM broadcasting: 9 kHz raster from 531 kHz.
        const int64_t am = scaled(180);
        for (int64_t i = 0; i < am; ++i) {
            const double f = (531 + 9 * rng_.range(0, 119)) / 1000.0;
            licenceOn({{f - 0.005, f + 0.005}}, 26, true, 1, "", "AM broadcasting");
        }
        // FM broadcasting.
        const int64_t fm = scaled(1800);
        for (int64_t i = 0; i < fm; ++i) {
            auto c = channel(26);
            if (c.first > 108)
                c = {88.1, 88.3};
            licenceOn({c}, 26, true, rng_.chance(0.2) ? 2 : 1, "", rng_.chance(0.5) ? "FM broadcasting" : "");
        }
        // Television: the plan's channels.
        const int64_t tv = scaled(900);
        for (int64_t i = 0; i < tv; ++i) {
            const int ch = int(rng_.range(21, 37));
            const double low = 470.0 + 8.0 * (ch - 21);
            licenceOn({{low, low + 8.0}}, 26, true, 1, "CH " + std::to_string(ch), "Digital television");
        }
        // Land mobile, VHF and UHF, mostly on plan channels, often paired.
        const int64_t lm = scaled(56000);
        for (int64_t i = 0; i < lm; ++i) {
            const auto c = channel(25);
            std::vector<std::pair<double, double>> r = {c};
            if (rng_.chance(0.5)) {
                const double off = c.first < 200 ? 4.6 : (c.first < 430 ? 9.0 : 5.0);
                const double paired = c.first + off;
                if (paired < 470.0 && (paired + 0.0125 <= 156.0 || paired >= 158.0))
                    r.push_back({c.first + off, c.second + off});
            }
            licenceOn(r, 25, rng_.chance(0.6), int(rng_.range(1, 3)), "", rng_.chance(0.3) ? "Land mobile" : "");
        }
        // The simplex and narrowband segments near 157 MHz are lightly used.
        const int64_t simplex = scaled(160);
        for (int64_t i = 0; i < simplex; ++i)
            licenceOn({segment_[size_t(rng_.range(0, int64_t(segment_.size()) - 1))]}, 25, false,
                      int(rng_.range(1, 2)), "", "Simplex land mobile");
        // Maritime coast and ship stations on the VHF channels, and HF.
        const int64_t mar = scaled(1000);
        for (int64_t i = 0; i < mar; ++i) {
            if (rng_.chance(0.8)) {
                const auto c = channel(19);
                licenceOn({c}, 19, false, 1, "", "Maritime VHF");
            } else {
                const double f = 4.0 + rng_.real() * 20.0;
                licenceOn({{f, f + 0.003}}, 19, false, 1, "", "Maritime HF");
            }
        }
        // Aeronautical: VHF channels and NDBs.
        const int64_t aero = scaled(2500);
        for (int64_t i = 0; i < aero; ++i) {
            if (rng_.chance(0.8))
                licenceOn({channel(28)}, 28, rng_.chance(0.5), 1, "", "Aeronautical mobile");
            else {
                const double f = 0.2 + rng_.real() * 0.3;
                licenceOn({{f - 0.0015, f + 0.0015}}, 28, false, 1, "", "Non-directional beacon");
            }
        }
        // Amateur repeaters and beacons.
        const int64_t am2 = scaled(1200);
        for (int64_t i = 0; i < am2; ++i)
            licenceOn({channel(27)}, 27, true, 1, "", "Amateur repeater");
        // HF fixed services.
        const int64_t hf = scaled(3000);
        for (int64_t i = 0; i < hf; ++i) {
            const double f = 2.0 + rng_.real() * 26.0;
            licenceOn({{f, f + 0.003}}, 18, false, 1, "", "HF fixed");
        }
        // Point-to-point microwave links: a pair of paths in the fixed-link bands.
        struct L { double low, high, width; };
        static const L links[] = {{1350, 1525, 0.5}, {5925, 6425, 29.65}, {6425, 7110, 20}, {7425, 7900, 28},
                                  {7900, 8500, 29.65}, {10700, 11700, 40}, {12750, 13250, 28}, {14500, 15350, 28},
                                  {17700, 19700, 55}, {21200, 23600, 28}, {37000, 39500, 56}};
        const int64_t fx = scaled(12000);
        for (int64_t i = 0; i < fx; ++i) {
            const L& l = links[size_t(rng_.range(0, 10))];
            const double slotCount = std::floor((l.high - l.low) / l.width / 2);
            const double low = l.low + l.width * double(rng_.range(0, int64_t(std::max(0.0, slotCount - 1))));
            const double go = (l.high - l.low) / 2;
            licenceOn({{low, low + l.width}, {low + go, low + go + l.width}}, 18, true, 2, "", "Fixed link");
        }
        // Licences under management rights: cell sites across many districts.
        const int64_t cell = scaled(9000);
        for (int64_t i = 0; i < cell && !mrBlocks_.empty(); ++i) {
            const auto& b = mrBlocks_[size_t(rng_.range(0, int64_t(mrBlocks_.size()) - 1))];
            licenceOn({{b.low, b.high}}, 30, false, int(rng_.range(1, 3)), "", "Cellular site", b.id);
        }
        // Other odds and ends spread across the spectrum.
        const int64_t other = scaled(4000);
        for (int64_t i = 0; i < other; ++i) {
            const double low = 25.0 + rng_.real() * 2000.0;
            licenceOn({{low, low + 0.025}}, int(rng_.range(17, 31)), false, 1, "", "");
        }
    }

    void untidyRows()
    {
        // Spectrum records of a licence without transmit configuration, and of no licence at all.
        const int64_t n = scaled(600);
        for (int64_t i = 0; i < n; ++i) {
            const int64_t lic = newLicence();
            auto c = channel(25);
            spectrum(lic, c.first, c.second, reg::kTypeLicence4, licenceStatus(), 25, "", "No transmitter recorded");
        }
        // Records of statuses that are never shown.
        for (int64_t i = 0; i < n; ++i) {
            auto c = channel(25);
            const int64_t lic = newLicence();
            spectrum(lic, c.first, c.second, reg::kTypeLicence4, rng_.chance(0.5) ? 2 : 3, 25, "", "Cancelled");
            transmit(lic, pickSite(false));
        }
        // Records with a zero low edge, never shown.
        spectrum(0, 0.0, 0.1, reg::kTypeBand, reg::kStatusLicensed, 31, "", "Placeholder band");
        // Licences in the districts whose labels the chart hides.
        for (int d : {6, 14, 16, 15}) {
            for (int k = 0; k < 20; ++k) {
                const int64_t lic = newLicence();
                auto c = channel(25);
                spectrum(lic, c.first, c.second, reg::kTypeLicence5, licenceStatus(), 25, "", "");
                transmit(lic, pickSite(false, d));
            }
        }
    }

    void mapDistricts()
    {
        sqlite3_stmt* s = db_.prep("INSERT INTO mapdistrict (map, district) VALUES (?,?)");
        const size_t nPlaces = sizeof kPlaces / sizeof kPlaces[0];
        for (int code = 65; code <= 90; ++code) {
            for (int row = 1; row <= 48; ++row) {
                const double e0 = 1930000.0 + 40000.0 * (code - 64);
                const double n1 = 5290000.0 + 30000.0 * (51 - row);
                const double n0 = n1 - 30000.0;
                double best = 1e18;
                const Place* nearest = nullptr;
                for (size_t i = 0; i < nPlaces; ++i) {
                    const Place& p = kPlaces[i];
                    if (p.easting <= 0 || p.easting > 3168923)
                        continue;
                    const double dx = std::max({e0 - p.easting, 0.0, p.easting - (e0 + 40000.0)});
                    const double dy = std::max({n0 - p.northing, 0.0, p.northing - n1});
                    const double d = std::hypot(dx, dy);
                    if (d < best) {
                        best = d;
                        nearest = &p;
                    }
                }
                if (!nearest || best > 25000.0)
                    continue;
                char name[8];
                std::snprintf(name, sizeof name, "%c%02d", code, row);
                bindText(s, 1, name);
                bindText(s, 2, nearest->region);
                db_.step(s);
            }
        }
    }

    Db& db_;
    double scale_;
    Rng rng_;
    int64_t spectrumId_ = 0, licenceId_ = 0, transmitId_ = 0, managementRightId_ = 0;
    int64_t clientCount_ = 1;
    std::vector<Site> sites_;
    std::map<int, std::vector<size_t>> byDistrict_;
    std::map<int, std::vector<std::pair<double, double>>> channels_;
    std::vector<std::pair<double, double>> segment_;
    struct Block { double low, high; int64_t id; };
    std::vector<Block> mrBlocks_;
};

void usage()
{
    std::fprintf(stderr,
                 "usage: orvane-make-register [--out FILE] [--scale S] [--seed N] [--format sqlite|access]\n"
                 "       orvane-make-register --format access --from REGISTER.sqlite --out FILE\n"
                 "  --table-properties N   (access) each table's catalogue row holds N bytes of properties\n");
}

void fail(const std::string& message)
{
    std::fprintf(stderr, "orvane-make-register: %s\n", message.c_str());
    std::exit(1);
}

// Converts a column's declared type to its Access type (SQLite's affinity
// rules); texts longer than a Text column holds, and remarks, become memos.
jet4::ColumnType accessType(const std::string& table, const std::string& column, std::string declared,
                            size_t longestText)
{
    for (auto& ch : declared)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    auto has = [&](const char* w) { return declared.find(w) != std::string::npos; };
    if (has("INT"))
        return jet4::ColumnType::Long;
    if (has("CHAR") || has("CLOB") || has("TEXT")) {
        std::string lower = column;
        for (auto& ch : lower)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        const bool remarks = lower.size() >= 7 && lower.compare(lower.size() - 7, 7, "remarks") == 0;
        return remarks || longestText > 255 ? jet4::ColumnType::Memo : jet4::ColumnType::Text;
    }
    if (has("BLOB") || declared.empty())
        fail("table " + table + ", column " + column + ": no Access type for '" + declared + "'");
    return jet4::ColumnType::Double;
}

std::vector<std::string> strings(sqlite3* db, const std::string& sql, int column = 0)
{
    std::vector<std::string> out;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        fail(sqlite3_errmsg(db));
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto* t = sqlite3_column_text(s, column);
        out.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
    }
    sqlite3_finalize(s);
    return out;
}

std::string quoted(const std::string& id)
{
    std::string q = "\"";
    for (char ch : id)
        q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return q + "\"";
}

// Writes every table of an SQLite register, rows in their order, to a Jet 4 file.
void writeAccess(sqlite3* db, const std::string& out, size_t propertyBytes)
{
    jet4::Writer w;
    if (propertyBytes > 0) {
        // A property block's signature, then a filler the size asked for.
        std::string properties = std::string("MR2\0", 4);
        for (size_t i = 0; properties.size() < propertyBytes; ++i)
            properties += char('a' + i % 26);
        w.setTableProperties(properties);
    }
    try {
        for (const std::string& table :
             strings(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                         "ORDER BY rowid")) {
            const auto names = strings(db, "PRAGMA table_info(" + quoted(table) + ")", 1);
            const auto types = strings(db, "PRAGMA table_info(" + quoted(table) + ")", 2);
            std::vector<jet4::Column> columns;
            std::string select;
            for (size_t c = 0; c < names.size(); ++c) {
                size_t longest = 0;
                for (const std::string& v : strings(db, "SELECT " + quoted(names[c]) + " FROM " + quoted(table) +
                                                            " WHERE typeof(" + quoted(names[c]) + ") = 'text'"))
                    longest = std::max(longest, jet4::utf16(v).size());
                columns.push_back({names[c], accessType(table, names[c], types[c], longest)});
                select += (c ? ", " : "") + quoted(names[c]);
            }
            w.beginTable(table, columns);
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(db, ("SELECT " + select + " FROM " + quoted(table) + " ORDER BY rowid").c_str(), -1,
                                   &s, nullptr) != SQLITE_OK)
                fail(sqlite3_errmsg(db));
            std::vector<jet4::Value> row(columns.size());
            while (sqlite3_step(s) == SQLITE_ROW) {
                for (size_t c = 0; c < columns.size(); ++c) {
                    const int ci = int(c);
                    switch (sqlite3_column_type(s, ci)) {
                    case SQLITE_NULL: row[c] = jet4::Value::null(); break;
                    case SQLITE_INTEGER: row[c] = jet4::Value::integer(sqlite3_column_int64(s, ci)); break;
                    case SQLITE_FLOAT: row[c] = jet4::Value::real(sqlite3_column_double(s, ci)); break;
                    default: {
                        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, ci));
                        row[c] = jet4::Value::text(std::string(t, size_t(sqlite3_column_bytes(s, ci))));
                    }
                    }
                }
                w.addRow(row);
            }
            sqlite3_finalize(s);
            w.endTable();
        }
        w.save(out);
    } catch (const jet4::Error& e) {
        fail(e.what());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out = "KORVA.mdb";
    std::string from;
    std::string format = "sqlite";
    double scale = 1.0;
    uint64_t seed = 20261209;
    size_t propertyBytes = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "-o") && i + 1 < argc)
            out = argv[++i];
        else if (a == "--scale" && i + 1 < argc)
            scale = std::atof(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--format" && i + 1 < argc)
            format = argv[++i];
        else if (a == "--from" && i + 1 < argc)
            from = argv[++i];
        else if (a == "--table-properties" && i + 1 < argc)
            propertyBytes = size_t(std::strtoull(argv[++i], nullptr, 10));
        else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else {
            usage();
            return 2;
        }
    }
    if (format != "sqlite" && format != "access") {
        std::fprintf(stderr, "orvane-make-register: --format must be sqlite or access\n");
        return 2;
    }
    if (!from.empty() && format != "access") {
        std::fprintf(stderr, "orvane-make-register: --from converts a register to --format access\n");
        return 2;
    }
    if (!(scale > 0) || scale > 100) {
        std::fprintf(stderr, "orvane-make-register: --scale must be above 0 and at most 100\n");
        return 2;
    }
    if (!from.empty()) {
        Db db;
        if (sqlite3_open_v2(from.c_str(), &db.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            fail("cannot open " + from);
        writeAccess(db.db, out, propertyBytes);
        return 0;
    }
    // An Access register is generated in memory and then written out.
    const bool access = format == "access";
    const std::string tmp = out + ".part";
    if (!access)
        std::remove(tmp.c_str());
    {
        Db db;
        if (sqlite3_open(access ? ":memory:" : tmp.c_str(), &db.db) != SQLITE_OK) {
            std::fprintf(stderr, "orvane-make-register: cannot create %s\n", tmp.c_str());
            return 1;
        }
        db.exec("PRAGMA journal_mode=OFF");
        db.exec("PRAGMA synchronous=OFF");
        db.exec("PRAGMA page_size=4096");
        db.exec("BEGIN");
        for (const QString& s : reg::createTableStatements())
            db.exec(s.toStdString());
        Generator(db, scale, seed).run();
        if (access) {
            db.exec("COMMIT");
            writeAccess(db.db, out, propertyBytes);
            return 0;
        }
        for (const QString& s : reg::createIndexStatements())
            db.exec(s.toStdString());
        db.exec("COMMIT");
        db.exec("ANALYZE");
        db.exec("VACUUM");
    }
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "orvane-make-register: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
