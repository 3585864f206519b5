#pragma once
// The virtual matrix: bytes in, bytes out. It splits the unterminated command
// stream by the command grammar, keeps the matrix's state (crosspoints,
// presets, matrix ID, output polling, the seamless cards' settings), answers
// like the matrix, and logs every command as one line. It does no I/O: the
// program around it owns the sockets, the pseudo-terminal and the clock.
#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mc::emu {

struct Options {
    int inputs = 16;   // 1..128
    int outputs = 16;  // 1..128
    // Faults, applied to the replies the core composes.
    int splitReplyMs = 0; // > 0: the status reply comes in two halves, this far apart
    bool noise = false;   // a few noise bytes before every reply
    // Faults of a connection: after this many commands (0 = never) the
    // connection is closed normally, or reset.
    int closeAfter = 0;
    int resetAfter = 0;
};

// Noise bytes put before each reply with Options::noise. They hold none of
// the status reply's markers.
inline constexpr char kReplyNoise[] = "\xFF\x00\xA5";
inline constexpr int kReplyNoiseSize = 3;

// What the connection does once the replies of a piece of input are out.
enum class After { Keep, Close, Reset };

struct Chunk {
    int delayMs = 0; // pause before these bytes go out
    QByteArray bytes;
};

struct Output {
    QList<Chunk> chunks;
    After after = After::Keep;
    QByteArray bytes() const; // all chunks joined, for tests
};

enum class CardSide { Input, Output };

// Picture values of an output card, in the order of their commands (0x15..0x1E).
enum Picture {
    Brightness, Contrast, Saturation, Sharpness, RedGain, GreenGain, BlueGain,
    RedOffset, GreenOffset, BlueOffset, PictureCount
};

struct CardSettings {
    int inputSignal = 0x01;  // 1 DVI/HDMI, 2 VGA, 3 component, 4 AV
    int displayMode = 0x01;  // 0x01 automatic, 0x13 forced full screen
    int resolution = 0x01;   // 1..8: 1920*1080 .. 1024*768
    int outputSignal = 0x01; // 0x01 HDMI, 0xA2 DVI
    int priority = 0x00;     // 0x01 serial port, 0x00 DIP switches
    int followUps = 0;       // follow-up blocks received
    std::array<int, PictureCount> picture{50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
    bool operator==(const CardSettings &o) const;
};

class Session;

class Matrix {
public:
    static constexpr int kMaxChannels = 128;
    static constexpr int kPresets = 9;
    static constexpr int kAddressableCards = 72;

    explicit Matrix(const Options &options = Options());
    ~Matrix();
    Matrix(const Matrix &) = delete;
    Matrix &operator=(const Matrix &) = delete;

    const Options &options() const { return m_options; }

    // One line per command, bad frame and run of noise bytes.
    void setLogger(std::function<void(const QString &)> logger) { m_logger = std::move(logger); }

    // The matrix's own stream (one connection). Connections of their own use
    // a Session each; all of them share this state.
    Output feed(const QByteArray &bytes);
    Output idle();

    // State. Channels are 1-based; 0 = no input.
    int videoInput(int output) const;
    int audioInput(int output) const;
    bool presetSaved(int preset) const;
    QByteArray id() const { return m_id; }
    bool polling(int output) const;
    int pollingInterval() const { return m_pollingInterval; }
    // Settings of a card; channels 1..72 up to the matrix size on that side.
    const CardSettings &card(CardSide side, int channel) const;
    int cardCount(CardSide side) const;

    // The status query's answer: "V:01->01;V:02->02;..." for every output
    // that shows an input, in output order.
    QByteArray statusReply() const;

private:
    friend class Session;
    struct Crosspoints {
        std::vector<int> video; // index output - 1
        std::vector<int> audio;
    };

    void log(const QString &line) const;
    QByteArray execute(const QByteArray &command); // reply, may be empty
    std::optional<QString> applyFrame(const QByteArray &frame); // error reason
    bool route(int input, int output, char mode);

    Options m_options;
    std::function<void(const QString &)> m_logger;
    Crosspoints m_now;
    std::array<std::optional<Crosspoints>, kPresets> m_presets;
    QByteArray m_id;
    std::vector<bool> m_polling;
    int m_pollingInterval = 0;
    std::vector<CardSettings> m_inputCards;
    std::vector<CardSettings> m_outputCards;
    std::unique_ptr<Session> m_own;
};

// The stream parser of one connection.
class Session {
public:
    // Connection faults (close/reset after N commands) apply only where
    // there is a connection to end.
    explicit Session(Matrix &matrix, bool connectionFaults = true);

    // Bytes as they arrive, in any pieces.
    Output feed(const QByteArray &bytes);
    // The stream has gone quiet: a matrix ID with one byte is taken as is,
    // and leftovers that cannot complete are reported.
    Output idle();

    QByteArray pending() const { return m_buffer; }
    bool ended() const { return m_ended; }

private:
    Output process(bool idle);
    void flushNoise();
    void addReply(Output &out, const QByteArray &reply, bool status);
    void countCommand(Output &out);

    Matrix &m_matrix;
    bool m_connectionFaults;
    QByteArray m_buffer;
    QByteArray m_noise;
    int m_commands = 0;
    bool m_ended = false;
};

} // namespace mc::emu
