#include "model/VeskNameTables.h"

#include <initializer_list>

namespace {

struct IdRange {
    uint32_t first;
    uint32_t last;
    const char *name;
};

// clang-format off
// In the order the table is built; a range stands for every ID from first to last.
const IdRange kResolutions[] = {
    {75, 75, "10:1"}, {76, 76, "2:1"}, {77, 77, "3:1"}, {78, 78, "15:1s"}, {79, 79, "4:1s"}, {80, 80, "2:1s"},
    {82, 82, "20:1"}, {97, 97, "3:1"}, {98, 98, "2:1"}, {102, 102, "35:1"}, {103, 103, "14:1"},
    {104, 104, "28:1"}, {110, 110, "10:1m"}, {111, 111, "4:1m"}, {112, 112, "8:1m"}, {113, 113, "3:1m"},
    {140, 140, "DV 25 411"}, {141, 141, "DV 25 420"}, {142, 142, "DV 50"}, {143, 143, "DV25P 411"},
    {144, 144, "DV25P 420"}, {147, 147, "DV 50p"}, {151, 151, "1:1"}, {152, 152, "1:1 film"},
    {160, 160, "MPEG 50"}, {161, 161, "MPEG 40"}, {162, 162, "MPEG 30"}, {170, 170, "1:1"}, {171, 171, "1:1"},
    {1235, 1235, "DNxHD 1080p HQX"}, {1237, 1237, "DNxHD 1080p SQ"}, {1238, 1238, "DNxHD 1080p HQ"},
    {1241, 1241, "DNxHD 1080i HQX"}, {1242, 1242, "DNxHD 1080i SQ"}, {1243, 1243, "DNxHD 1080i HQ"},
    {1244, 1244, "DNxHD-TR 960i SQ"}, {1250, 1250, "DNxHD 720p HQX"}, {1251, 1251, "DNxHD 720p HQ"},
    {1252, 1252, "DNxHD 720p SQ"}, {1253, 1253, "DNxHD 1080p LQ"}, {1256, 1256, "DNxHD 444"},
    {1258, 1258, "DNxHD 100 720p"}, {1259, 1259, "DNxHD 100 1080p"}, {1260, 1260, "DNxHD 100 1080i"},
    {1270, 1270, "DNxHD 444"}, {1271, 1271, "DNxHR HQX"}, {1272, 1272, "DNxHR HQ"}, {1273, 1273, "DNxHR SQ"},
    {1274, 1274, "DNxHR LB"}, {2000, 2000, "1:1 10b (HD1080i)"}, {2003, 2003, "1:1p 10b (HD1080p)"},
    {2004, 2004, "1:1p 10b (HD720p)"}, {2022, 2022, "1:1 10b (PAL)"}, {2021, 2021, "1:1 10b (NTSC)"},
    {2023, 2023, "1:1 10b (NTSC)"}, {2024, 2024, "1:1 10b (PAL)"}, {2125, 2125, "1:1 (HD1080i)"},
    {2126, 2126, "1:1 (HD1080p)"}, {2127, 2127, "1:1 (HD720p)"}, {550, 550, "J2K 1080i/59.94"},
    {551, 551, "J2K 1080p/23.976"}, {552, 552, "J2K 720p/59.94"}, {553, 553, "J2K NTSCi/29.97"},
    {554, 554, "J2K NTSCp/23.976"}, {555, 555, "J2K PALi/25"}, {556, 556, "J2K PALp/25"},
    {557, 557, "J2K 1080i/50"}, {558, 558, "J2K 1080p/29.97"}, {559, 559, "J2K 1080p/25"},
    {560, 560, "J2K 1080p/24"}, {561, 561, "J2K 720p/50"}, {562, 562, "J2K 720p/29.97"},
    {563, 563, "J2K 720p/25"}, {564, 564, "J2K 720p/23.976"}, {565, 565, "J2K NTSCp/24"},
    {566, 566, "J2K PALp/24"}, {2400, 2403, "DVCPro HD"}, {3400, 3409, "AVC-Intra 50Mbps"},
    {3410, 3419, "AVC-Intra 100Mbps"}, {3425, 3425, "XAVC Intra 100 50i"}, {3426, 3426, "XAVC Intra 100 59i"},
    {3427, 3427, "XAVC Intra 100 23.976p"}, {3428, 3428, "XAVC Intra 100 25p"},
    {3429, 3429, "XAVC Intra 100 29.97p"}, {3780, 3793, "Apple ProRes 444"},
    {4003, 4003, "HDV 1080i (1080i/50)"}, {4004, 4004, "HDV 1080i (1080i/60)"},
    {4027, 4027, "HDV 1080p (1080p/23.976)"}, {4028, 4028, "HDV 720P (720P/23.976)"},
    {4029, 4029, "HDV 720P (720P/59.94)"}, {4061, 4061, "HDV 720P (720P/50)"},
    {4062, 4062, "HDV 720P (720P/25)"}, {4043, 4043, "XDCAM HD 35mbps 1080i/50"},
    {4044, 4044, "XDCAM HD 35mbps 1080i/60"}, {4045, 4045, "XDCAM HD 35mbps 1080p/23.976"},
    {4049, 4049, "XDCAM HD 17.5Mbits 1080i/50"}, {4050, 4050, "XDCAM HD 17.5Mbits 1080i/60"},
    {4051, 4051, "XDCAM HD 17.5Mbits 1080p/23.97"}, {4052, 4052, "XDCAM HD 25Mbits 1080p/23.976"},
    {4071, 4071, "XDCAM HD 25Mbits (1080p/25)"}, {4073, 4073, "XDCAM HD 50mbps 1080i/60"},
    {4074, 4074, "XDCAM HD 50mbps 1080i/50"}, {4075, 4075, "XDCAM HD 50mbps 1080p/29.97"},
    {4076, 4076, "XDCAM HD 50mbps 1080p/25"}, {4077, 4077, "XDCAM HD 50mbps 1080p/23.976"},
    {4078, 4078, "XDCAM HD 50mbps 720p/60"}, {4079, 4079, "XDCAM HD 50mbps 720p/50"},
    {4080, 4080, "XDCAM EX 35mbps 1080i/60"}, {4081, 4081, "XDCAM EX 35mbps 1080i/50"},
    {4082, 4082, "XDCAM EX 35mbps 1080p/29.97"}, {4083, 4083, "XDCAM EX 35mbps 1080p/25"},
    {4084, 4084, "XDCAM EX 35mbps 1080p/23.976"}, {4085, 4085, "XDCAM EX 35mbps 720p/60"},
    {4086, 4086, "XDCAM EX 35mbps 720p/50"}, {4087, 4087, "XDCAM EX 35mbps 720p/23.976"},
    {4088, 4088, "XDCAM EX 35mbps 720p/29.97"}, {4089, 4089, "XDCAM EX 35mbps 720p/25"},
    {4091, 4091, "XDCAM HD 50mbps 720p/25"},
};

struct IdList {
    std::initializer_list<uint32_t> ids;
    const char *name;
};

const IdList kProResResolutions[] = {
    {{3700, 3701, 3702, 3703, 3705, 3708, 3709, 3710, 3712}, "Apple ProRes HQ"},
    {{3721, 3723, 3725, 3726, 3727, 3728, 3729, 3732, 3733}, "Apple ProRes LT"},
    {{3740, 3741, 3743, 3744, 3745, 3746, 3748, 3750, 3751, 3752, 3753}, "Apple ProRes 422"},
    {{3800, 3801, 3802, 3803, 3804, 3805, 3807, 3809, 3811}, "Apple ProRes Proxy"},
};

// Frame rates of the DNx columns, in the column order 23.976, 24, 25, 29.97, 50, 59.94.
const double kDNxRates[] = {23.976, 24, 25, 29.97, 50, 59.94};

struct DNxRow {
    uint32_t id;
    const char *labels[6];
};

const DNxRow kDNxRows[] = {
    {1235, {"175x", "175x", "185x", "220x", nullptr, nullptr}},
    {1237, {"115", "115", "120", "145", nullptr, nullptr}},
    {1238, {"175", "175", "185", "220", nullptr, nullptr}},
    {1241, {nullptr, nullptr, "185x", "220x", nullptr, nullptr}},
    {1242, {nullptr, nullptr, "120", "145", nullptr, nullptr}},
    {1243, {nullptr, nullptr, "185", "220", nullptr, nullptr}},
    {1244, {nullptr, nullptr, "120", "145", nullptr, nullptr}},
    {1250, {"90x", nullptr, "90x", "110x", "185x", "220x"}},
    {1251, {"90", nullptr, "90", "110", "185", "220"}},
    {1252, {"60", nullptr, "60", "75", "120", "145"}},
    {1253, {"36", "36", "36", "45", nullptr, nullptr}},
};
// clang-format on

double quotient(const VeskRate &rate)
{
    return double(rate.numerator) / double(rate.denominator == 0 ? 1 : rate.denominator);
}

} // namespace

VeskNameTables::VeskNameTables()
{
    initResolutionsDictionary();
    initFrameratesDictionary();
    initDNxDictionary();
}

void VeskNameTables::initResolutionsDictionary()
{
    for (const IdRange &range : kResolutions)
        for (uint32_t id = range.first; id <= range.last; ++id)
            m_resolutions.emplace(id, QString::fromLatin1(range.name));
    for (const IdList &list : kProResResolutions)
        for (uint32_t id : list.ids)
            m_resolutions.emplace(id, QString::fromLatin1(list.name));
}

void VeskNameTables::initFrameratesDictionary()
{
    m_rates = {
        { 29.97, QStringLiteral("29.97fps") },
        { 23.976, QStringLiteral("23.976fps") },
        { 59.94, QStringLiteral("59.94fps") },
        { 30, QStringLiteral("30fps") },
        { 60, QStringLiteral("60fps") },
        { 24, QStringLiteral("24fps") },
        { 48, QStringLiteral("48fps") },
        { 25, QStringLiteral("25fps") },
        { 50, QStringLiteral("50fps") },
        { 22050, QStringLiteral("22.05 kHz") },
        { 32000, QStringLiteral("32 kHz") },
        { 44100, QStringLiteral("44.1 kHz") },
        { 48000, QStringLiteral("48 kHz") },
        { 96000, QStringLiteral("96 kHz") },
        { 192000, QStringLiteral("192 kHz") },
    };
}

void VeskNameTables::initDNxDictionary()
{
    for (const DNxRow &row : kDNxRows) {
        RateTable &labels = m_dnx[row.id];
        for (size_t column = 0; column < std::size(kDNxRates); ++column)
            if (row.labels[column])
                labels.emplace(kDNxRates[column], QString::fromLatin1(row.labels[column]));
    }
}

std::optional<QString> VeskNameTables::rateText(double rate) const
{
    const auto found = m_rates.find(rate);
    if (found == m_rates.end())
        return std::nullopt;
    return found->second;
}

std::optional<QString> VeskNameTables::compressionNameForItem(const VeskDatabaseItem &item) const
{
    const auto found = m_resolutions.find(item.DB_DIDResolutionID());
    if (found != m_resolutions.end())
        return found->second;
    const VeskOctet &code = *item.DB_CompressionFourCC();
    if (code.UMIDx[0] == 0)
        return std::nullopt;
    return QStringLiteral("%1%2%3%4 ID:%5")
        .arg(QChar(code.UMIDx[0]))
        .arg(QChar(code.UMIDx[1]))
        .arg(QChar(code.UMIDx[2]))
        .arg(QChar(code.UMIDx[3]))
        .arg(item.DB_DIDResolutionID());
}

std::optional<QString> VeskNameTables::frameRateTextForItem(const VeskDatabaseItem &item) const
{
    const VeskRate rate = item.DB_framerate();
    if (rate.denominator == 0)
        return std::nullopt;
    if (std::optional<QString> text = rateText(quotient(rate)))
        return text;
    return QString::number(rate.numerator);
}

std::optional<QString> VeskNameTables::sampleRateTextForItem(const VeskDatabaseItem &item) const
{
    const VeskRate rate = item.DB_samplerate();
    if (rate.numerator == 0)
        return std::nullopt;
    return rateText(quotient(rate));
}

std::optional<QString> VeskNameTables::getBitrateTextForItem(const VeskDatabaseItem &item) const
{
    const VeskRate rate = item.DB_framerate();
    if (rate.numerator == 0)
        return std::nullopt;
    const auto labels = m_dnx.find(item.DB_DIDResolutionID());
    if (labels == m_dnx.end())
        return std::nullopt;
    const auto label = labels->second.find(quotient(rate));
    if (label == labels->second.end())
        return std::nullopt;
    return label->second;
}
