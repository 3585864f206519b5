#include "tools/emulator/matrix.h"

#include <algorithm>
#include <cstring>

namespace mc::emu {

namespace {

constexpr int kFrameSize = 26;

enum class Kind { Route, Preset, Query, GetId, SetId, Polling, Interval, Frame };
enum class Fit { No, More, Done };

struct Match {
    Fit fit = Fit::No;
    int length = 0;
    Kind kind = Kind::Route;
};

Match Is(Fit fit, Kind kind, int length = 0) { return Match{fit, length, kind}; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// How the head of the buffer compares with a fixed text.
Fit Prefix(const QByteArray &b, const char *text)
{
    const int length = int(std::strlen(text));
    if (b.size() < length)
        return QByteArray(text).startsWith(b) ? Fit::More : Fit::No;
    return b.startsWith(text) ? Fit::Done : Fit::No;
}

// <in>*<out><mode> or <in>*N<mode>, numbers of one to three digits.
Match MatchRoute(const QByteArray &b)
{
    const int n = int(b.size());
    int i = 0;
    auto number = [&]() {
        int digits = 0;
        while (i < n && IsDigit(b[i]) && digits <= 3) {
            ++i;
            ++digits;
        }
        return digits >= 1 && digits <= 3;
    };
    if (!number())
        return Is(Fit::No, Kind::Route);
    if (i == n)
        return Is(Fit::More, Kind::Route);
    if (b[i] != '*')
        return Is(Fit::No, Kind::Route);
    if (++i == n)
        return Is(Fit::More, Kind::Route);
    if (b[i] == 'N')
        ++i;
    else if (!number())
        return Is(Fit::No, Kind::Route);
    if (i == n)
        return Is(Fit::More, Kind::Route);
    if (b[i] != '!' && b[i] != '%' && b[i] != '$')
        return Is(Fit::No, Kind::Route);
    return Is(Fit::Done, Kind::Route, i + 1);
}

Match MatchPreset(const QByteArray &b, const char *word)
{
    const Fit fit = Prefix(b, word);
    if (fit != Fit::Done)
        return Is(fit, Kind::Preset);
    if (b.size() == 4)
        return Is(Fit::More, Kind::Preset);
    return Is(b[4] >= '1' && b[4] <= '9' ? Fit::Done : Fit::No, Kind::Preset, 5);
}

Match MatchFixed(const QByteArray &b, const char *text, Kind kind)
{
    return Is(Prefix(b, text), kind, int(std::strlen(text)));
}

// "DYT" and one or two bytes; the second may never come (see idle()).
Match MatchSetId(const QByteArray &b)
{
    const Fit fit = Prefix(b, "DYT");
    if (fit != Fit::Done)
        return Is(fit, Kind::SetId);
    return b.size() >= 5 ? Is(Fit::Done, Kind::SetId, 5) : Is(Fit::More, Kind::SetId);
}

Match MatchPolling(const QByteArray &b)
{
    const Fit fit = Prefix(b, "AUTOSW");
    if (fit != Fit::Done)
        return Is(fit, Kind::Polling);
    if (b.size() < 8) {
        const bool selector = b.size() == 6 || (b[6] >= 'a' && b[6] <= 'd');
        return Is(selector ? Fit::More : Fit::No, Kind::Polling);
    }
    switch (b[6]) {
    case 'a':
    case 'b':
        return Is(Fit::Done, Kind::Polling, 8);
    case 'c':
    case 'd':
        return Is(b[7] == 0x01 ? Fit::Done : Fit::No, Kind::Polling, 8);
    default:
        return Is(Fit::No, Kind::Polling);
    }
}

Match MatchInterval(const QByteArray &b)
{
    const Fit fit = Prefix(b, "AUTOTM");
    if (fit != Fit::Done)
        return Is(fit, Kind::Interval);
    return b.size() >= 8 ? Is(Fit::Done, Kind::Interval, 8) : Is(Fit::More, Kind::Interval);
}

// Anything that starts like a frame header is taken as a 26-byte frame and
// checked as a whole, so a frame with a damaged header is reported rather
// than scattered as noise.
Match MatchFrame(const QByteArray &b)
{
    const Fit fit = Prefix(b, "SNDWF");
    if (fit != Fit::Done)
        return Is(fit, Kind::Frame);
    return b.size() >= kFrameSize ? Is(Fit::Done, Kind::Frame, kFrameSize) : Is(Fit::More, Kind::Frame);
}

Match Classify(const QByteArray &b)
{
    const Match matches[] = {
        MatchRoute(b),
        MatchPreset(b, "CALL"),
        MatchPreset(b, "SAVE"),
        MatchFixed(b, "QUER00", Kind::Query),
        MatchFixed(b, "GETID", Kind::GetId),
        MatchSetId(b),
        MatchPolling(b),
        MatchInterval(b),
        MatchFrame(b),
    };
    Match more;
    for (const Match &m : matches) {
        if (m.fit == Fit::Done)
            return m;
        if (m.fit == Fit::More)
            more = m;
    }
    return more;
}

QString Hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

bool Printable(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

int ToInt(const QByteArray &digits) { return digits.toInt(); }

QByteArray Ok(const QByteArray &command) { return command + "OK"; }
QByteArray Err(const QByteArray &command) { return command + "ERR"; }

// Which command blocks exist, and for which cards.
enum Cards { InputCards = 1, OutputCards = 2, BothCards = 3 };

int CardsOfBlock(int command, int value)
{
    switch (command) {
    case 0x24:
        return value >= 1 && value <= 4 ? InputCards : 0;
    case 0x25:
        return value >= 1 && value <= 8 ? OutputCards : 0;
    case 0x26:
        return value == 0x00 || value == 0x01 ? BothCards : 0;
    case 0x27:
        return value == 0x12 ? BothCards : 0;
    case 0x28:
        return value == 0x01 || value == 0x13 ? BothCards : 0;
    case 0x32:
        return value == 0x01 || value == 0xA2 ? OutputCards : 0;
    default:
        if (command >= 0x15 && command <= 0x1E)
            return value == 0x00 || value == 0x01 ? OutputCards : 0;
        return 0;
    }
}

void ApplyBlock(CardSettings &card, int command, int value)
{
    switch (command) {
    case 0x24:
        card.inputSignal = value;
        break;
    case 0x25:
        card.resolution = value;
        break;
    case 0x26:
        card.priority = value;
        break;
    case 0x27:
        ++card.followUps;
        break;
    case 0x28:
        card.displayMode = value;
        break;
    case 0x32:
        card.outputSignal = value;
        break;
    default: {
        int &picture = card.picture[command - 0x15];
        picture = std::clamp(picture + (value == 0x01 ? 1 : -1), 0, 100);
        break;
    }
    }
}

} // namespace

QByteArray Output::bytes() const
{
    QByteArray all;
    for (const Chunk &c : chunks)
        all += c.bytes;
    return all;
}

bool CardSettings::operator==(const CardSettings &o) const
{
    return inputSignal == o.inputSignal && displayMode == o.displayMode &&
           resolution == o.resolution && outputSignal == o.outputSignal && priority == o.priority &&
           followUps == o.followUps && picture == o.picture;
}

// ---------------------------------------------------------------- Matrix

Matrix::Matrix(const Options &options) : m_options(options)
{
    m_options.inputs = std::clamp(m_options.inputs, 1, kMaxChannels);
    m_options.outputs = std::clamp(m_options.outputs, 1, kMaxChannels);
    // At power-up output n shows input n, where there is one.
    for (int out = 1; out <= m_options.outputs; ++out) {
        const int in = out <= m_options.inputs ? out : 0;
        m_now.video.push_back(in);
        m_now.audio.push_back(in);
    }
    m_polling.assign(size_t(m_options.outputs), false);
    m_inputCards.resize(size_t(cardCount(CardSide::Input)));
    m_outputCards.resize(size_t(cardCount(CardSide::Output)));
    m_own = std::make_unique<Session>(*this);
}

Matrix::~Matrix() = default;

Output Matrix::feed(const QByteArray &bytes) { return m_own->feed(bytes); }

Output Matrix::idle() { return m_own->idle(); }

int Matrix::videoInput(int output) const { return m_now.video.at(size_t(output - 1)); }

int Matrix::audioInput(int output) const { return m_now.audio.at(size_t(output - 1)); }

bool Matrix::presetSaved(int preset) const { return m_presets.at(size_t(preset - 1)).has_value(); }

bool Matrix::polling(int output) const { return m_polling.at(size_t(output - 1)); }

int Matrix::cardCount(CardSide side) const
{
    return std::min(side == CardSide::Input ? m_options.inputs : m_options.outputs, kAddressableCards);
}

const CardSettings &Matrix::card(CardSide side, int channel) const
{
    const auto &cards = side == CardSide::Input ? m_inputCards : m_outputCards;
    return cards.at(size_t(channel - 1));
}

QByteArray Matrix::statusReply() const
{
    QByteArray reply;
    for (int out = 1; out <= m_options.outputs; ++out) {
        const int in = m_now.video[size_t(out - 1)];
        if (in > 0)
            reply += QStringLiteral("V:%1->%2;")
                         .arg(in, 2, 10, QLatin1Char('0'))
                         .arg(out, 2, 10, QLatin1Char('0'))
                         .toLatin1();
    }
    return reply;
}

void Matrix::log(const QString &line) const
{
    if (m_logger)
        m_logger(line);
}

bool Matrix::route(int input, int output, char mode)
{
    // output 0 stands for every output.
    if (input < 1 || input > m_options.inputs || output < 0 || output > m_options.outputs)
        return false;
    const int first = output == 0 ? 1 : output;
    const int last = output == 0 ? m_options.outputs : output;
    for (int out = first; out <= last; ++out) {
        if (mode != '$')
            m_now.video[size_t(out - 1)] = input;
        if (mode != '%')
            m_now.audio[size_t(out - 1)] = input;
    }
    return true;
}

QByteArray Matrix::execute(const QByteArray &c)
{
    if (IsDigit(c[0])) {
        const int star = int(c.indexOf('*'));
        const char mode = c.back();
        const QByteArray out = c.mid(star + 1, c.size() - star - 2);
        const int output = out == "N" ? 0 : ToInt(out);
        const bool ok = (out == "N" || output > 0) && route(ToInt(c.left(star)), output, mode);
        return ok ? Ok(c) : Err(c);
    }
    if (c.startsWith("CALL")) {
        const auto &preset = m_presets[size_t(c[4] - '1')];
        if (!preset)
            return Err(c);
        m_now = *preset;
        return Ok(c);
    }
    if (c.startsWith("SAVE")) {
        m_presets[size_t(c[4] - '1')] = m_now;
        return Ok(c);
    }
    if (c == "QUER00")
        return statusReply();
    if (c == "GETID")
        return m_id;
    if (c.startsWith("DYT")) {
        m_id = c.mid(3);
        return Ok(c);
    }
    if (c.startsWith("AUTOSW")) {
        const int output = quint8(c[7]);
        switch (c[6]) {
        case 'a':
        case 'b':
            if (output < 1 || output > m_options.outputs)
                return Err(c);
            m_polling[size_t(output - 1)] = c[6] == 'a';
            return Ok(c);
        default:
            std::fill(m_polling.begin(), m_polling.end(), c[6] == 'd');
            return Ok(c);
        }
    }
    // AUTOTM: seconds, high byte first.
    m_pollingInterval = quint8(c[6]) * 256 + quint8(c[7]);
    return Ok(c);
}

std::optional<QString> Matrix::applyFrame(const QByteArray &f)
{
    auto byte = [&](int i) { return int(quint8(f[i])); };
    if (byte(5) != '1' && byte(5) != '2')
        return QStringLiteral("bad header");
    const CardSide side = byte(5) == '1' ? CardSide::Input : CardSide::Output;
    bool addressed = false;
    for (int i = 6; i < 15; ++i)
        addressed = addressed || byte(i) != 0;
    if (!addressed)
        return QStringLiteral("empty address");
    if (byte(15) != 0x01)
        return QStringLiteral("no 01 after the address");
    if (byte(16) != 0xD5)
        return QStringLiteral("block does not start with D5");
    if (byte(19) != 0 || byte(20) != 0 || byte(21) != 0)
        return QStringLiteral("bad block padding");
    int sum = 0;
    for (int i = 16; i < 22; ++i)
        sum += byte(i);
    if (byte(22) != (sum & 0xFF))
        return QStringLiteral("bad check byte");
    if (byte(23) != 0xFF - byte(22))
        return QStringLiteral("bad complement byte");
    if (f.mid(24, 2) != "ED")
        return QStringLiteral("bad tail");
    const int command = byte(17);
    const int value = byte(18);
    const int cards = CardsOfBlock(command, value);
    if (cards == 0)
        return QStringLiteral("unknown block");
    if (!(cards & (side == CardSide::Input ? InputCards : OutputCards)))
        return side == CardSide::Input ? QStringLiteral("block is for output cards only")
                                       : QStringLiteral("block is for input cards only");

    // Channel n is bit n - 1 of the 72-bit mask, the last byte holding bits 0..7.
    auto &cardsOfSide = side == CardSide::Input ? m_inputCards : m_outputCards;
    for (int n = 1; n <= int(cardsOfSide.size()); ++n) {
        if (byte(14 - (n - 1) / 8) & (1 << ((n - 1) % 8)))
            ApplyBlock(cardsOfSide[size_t(n - 1)], command, value);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- Session

Session::Session(Matrix &matrix, bool connectionFaults)
    : m_matrix(matrix), m_connectionFaults(connectionFaults)
{
}

Output Session::feed(const QByteArray &bytes)
{
    if (m_ended)
        return Output();
    m_buffer += bytes;
    return process(false);
}

Output Session::idle()
{
    if (m_ended)
        return Output();
    return process(true);
}

void Session::flushNoise()
{
    if (m_noise.isEmpty())
        return;
    m_matrix.log(QStringLiteral("NOISE ") + Hex(m_noise));
    m_noise.clear();
}

void Session::addReply(Output &out, const QByteArray &reply, bool status)
{
    if (reply.isEmpty())
        return;
    const QByteArray noise = m_matrix.m_options.noise ? QByteArray(kReplyNoise, kReplyNoiseSize)
                                                      : QByteArray();
    const int split = m_matrix.m_options.splitReplyMs;
    if (status && split > 0 && reply.size() >= 2) {
        const qsizetype half = reply.size() / 2;
        out.chunks.append(Chunk{0, noise + reply.left(half)});
        out.chunks.append(Chunk{split, reply.mid(half)});
    } else {
        out.chunks.append(Chunk{0, noise + reply});
    }
}

void Session::countCommand(Output &out)
{
    ++m_commands;
    if (!m_connectionFaults)
        return;
    const Options &o = m_matrix.m_options;
    if (o.resetAfter > 0 && m_commands >= o.resetAfter)
        out.after = After::Reset;
    else if (o.closeAfter > 0 && m_commands >= o.closeAfter)
        out.after = After::Close;
    if (out.after != After::Keep) {
        m_ended = true;
        m_buffer.clear();
    }
}

Output Session::process(bool idle)
{
    Output out;
    while (!m_ended && !m_buffer.isEmpty()) {
        Match m = Classify(m_buffer);
        if (m.fit == Fit::More) {
            if (!idle)
                break;
            if (m.kind == Kind::SetId && m_buffer.size() == 4) {
                m = Is(Fit::Done, Kind::SetId, 4); // one byte of ID and nothing more
            } else if (m.kind == Kind::Frame) {
                flushNoise();
                m_matrix.log(QStringLiteral("BAD short frame ") + Hex(m_buffer));
                m_buffer.clear();
                countCommand(out);
                break;
            } else {
                m.fit = Fit::No;
            }
        }
        if (m.fit == Fit::No) {
            m_noise += m_buffer.front();
            m_buffer.remove(0, 1);
            continue;
        }
        flushNoise();
        const QByteArray command = m_buffer.left(m.length);
        m_buffer.remove(0, m.length);
        if (m.kind == Kind::Frame) {
            if (const auto reason = m_matrix.applyFrame(command))
                m_matrix.log(QStringLiteral("BAD ") + *reason + ' ' + Hex(command));
            else
                m_matrix.log(QStringLiteral("CMD ") + Hex(command));
        } else {
            const bool binary = m.kind == Kind::Polling || m.kind == Kind::Interval ||
                                !Printable(command);
            m_matrix.log(QStringLiteral("CMD ") +
                         (binary ? Hex(command) : QString::fromLatin1(command)));
            addReply(out, m_matrix.execute(command), m.kind == Kind::Query);
        }
        countCommand(out);
    }
    // A run of noise is reported whole: when a command follows it, or when
    // the stream goes quiet.
    if (idle)
        flushNoise();
    return out;
}

} // namespace mc::emu
