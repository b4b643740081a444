#pragma once

#include "core/MidiSong.h"

#include <QByteArray>
#include <QHash>
#include <array>
#include <list>
#include <map>

struct _fluid_synth_t;

// What a run of non-note events has set up on the synthesiser (programs,
// controllers, pitch bends, parameters, system-exclusive set-ups), kept as
// the settings they leave rather than as the events themselves: taking an
// event costs the same however many came before, and replaying sends each
// setting once, so a song that resets the synthesiser 400,000 times at the
// start begins, and seeks, like any other.
class MidiControlState
{
public:
    // deviceId: the synthesiser's system-exclusive device id (0x7F is all).
    explicit MidiControlState(int deviceId);

    // Takes the next non-note event of the song, in song order.
    void absorb(const MidiEvent &event, const MidiSong &song);
    // Sends the settings to the synthesiser in an order that leaves it as
    // the events themselves would have.
    void replay(_fluid_synth_t *synth, const MidiSong &song) const;
    // Whether nothing has been taken since the state was made.
    bool isEmpty() const { return m_empty; }

private:
    // A registered or non-registered parameter, as data entry last set it.
    struct Parameter
    {
        qint16 lsbBefore = -1;
        qint16 msb = -1;
        qint16 lsbAfter = -1;
    };
    // What one channel was set to between two resets of all its controllers.
    struct Settings
    {
        Settings() { controllers.fill(-1); }
        std::array<qint16, 128> controllers;
        qint16 program = -1;
        qint16 bankMsb = -1;
        qint16 bankLsb = -1;
        int bend = -1;
        qint16 pressure = -1;
        std::map<int, Parameter> parameters;
    };
    struct Channel
    {
        Settings before;
        Settings after;
        // Whether "reset all controllers" came between the two.
        bool controllersReset = false;
        // The controller values now, whichever phase set them.
        std::array<qint16, 128> now;
        bool nrpnSelected = false;
        Channel() { now.fill(-1); }
        Settings &current() { return controllersReset ? after : before; }
    };

    void absorbController(Channel &channel, int number, int value);
    bool isFullReset(const QByteArray &body) const;
    static void replaySettings(_fluid_synth_t *synth, int channel, const Settings &settings);

    int m_deviceId;
    bool m_empty = true;
    std::array<Channel, 16> m_channels;
    // The channels set since the last full reset, a bit each.
    quint32 m_touched = 0;
    // The last full reset, or -1: everything before it is void.
    qint64 m_reset = -1;
    // Other system-exclusive messages since then, each once, in the order of
    // their last use; looked up by their bytes.
    std::list<quint32> m_sysex;
    QHash<QByteArray, std::list<quint32>::iterator> m_sysexAt;
};
