#include "engine/midi/MidiControlState.h"

#include <fluidsynth.h>

namespace {

enum Controller
{
    BankMsb = 0,
    DataEntryMsb = 6,
    BankLsb = 32,
    DataEntryLsb = 38,
    NrpnLsb = 98,
    NrpnMsb = 99,
    RpnLsb = 100,
    RpnMsb = 101,
    AllSoundOff = 120,
    ResetAllControllers = 121,
    AllNotesOff = 123
};

} // namespace

MidiControlState::MidiControlState(int deviceId) : m_deviceId(deviceId) {}

bool MidiControlState::isFullReset(const QByteArray &body) const
{
    // General MIDI on, General MIDI 2 on and General MIDI off, which the
    // synthesiser answers with a reset of everything.
    if (body.size() < 4 || quint8(body[0]) != 0x7E || body[2] != 0x09 || body[3] < 1 || body[3] > 3)
        return false;
    const int device = quint8(body[1]);
    return device == 0x7F || device == m_deviceId || m_deviceId == 0x7F;
}

void MidiControlState::absorb(const MidiEvent &event, const MidiSong &song)
{
    m_empty = false;
    const int number = event.status & 0x0F;
    Channel &channel = m_channels[size_t(number)];
    if (event.status != 0xF0)
        m_touched |= 1u << number;
    switch (event.status & 0xF0) {
    case 0xB0:
        absorbController(channel, event.data1, event.data2);
        break;
    case 0xC0: {
        Settings &settings = channel.current();
        settings.program = event.data1;
        settings.bankMsb = channel.now[BankMsb];
        settings.bankLsb = channel.now[BankLsb];
        break;
    }
    case 0xD0:
        channel.current().pressure = event.data1;
        break;
    case 0xE0:
        channel.current().bend = event.data2 << 7 | event.data1;
        break;
    case 0xF0: {
        const QByteArray &body = song.sysex()[event.sysex];
        if (isFullReset(body)) {
            // Only what was set since the last reset is cleared, so a flood
            // of resets costs no more than the events between them.
            for (size_t i = 0; i < m_channels.size(); ++i)
                if (m_touched & (1u << i))
                    m_channels[i] = Channel();
            m_touched = 0;
            m_sysex.clear();
            m_sysexAt.clear();
            m_reset = event.sysex;
            break;
        }
        const auto found = m_sysexAt.find(body);
        if (found != m_sysexAt.end())
            m_sysex.erase(found.value());
        m_sysexAt.insert(body, m_sysex.insert(m_sysex.end(), event.sysex));
        break;
    }
    default:
        // Key pressure only shapes notes that sound, and none does after a seek.
        break;
    }
}

void MidiControlState::absorbController(Channel &channel, int number, int value)
{
    if (number == AllSoundOff || number == AllNotesOff)
        return;
    if (number == ResetAllControllers) {
        // What came before keeps only what the synthesiser's reset keeps:
        // replayed before the reset, it is cut back the same way.
        Settings &before = channel.before;
        const Settings &after = channel.after;
        for (size_t i = 0; i < after.controllers.size(); ++i)
            if (after.controllers[i] >= 0)
                before.controllers[i] = after.controllers[i];
        if (after.program >= 0) {
            before.program = after.program;
            before.bankMsb = after.bankMsb;
            before.bankLsb = after.bankLsb;
        }
        if (after.bend >= 0)
            before.bend = after.bend;
        if (after.pressure >= 0)
            before.pressure = after.pressure;
        for (const auto &[key, parameter] : after.parameters)
            before.parameters[key] = parameter;
        channel.after = Settings();
        channel.controllersReset = true;
        return;
    }
    channel.now[size_t(number)] = qint16(value);
    if (number == NrpnMsb || number == NrpnLsb)
        channel.nrpnSelected = true;
    else if (number == RpnMsb || number == RpnLsb)
        channel.nrpnSelected = false;
    if (number == DataEntryMsb || number == DataEntryLsb) {
        const int msb = channel.now[channel.nrpnSelected ? NrpnMsb : RpnMsb];
        const int lsb = channel.now[channel.nrpnSelected ? NrpnLsb : RpnLsb];
        // With no parameter selected since the reset there is nothing to set.
        if (msb < 0 || lsb < 0)
            return;
        const int key = (channel.nrpnSelected ? 1 << 14 : 0) | msb << 7 | lsb;
        Parameter &parameter = channel.current().parameters[key];
        if (number == DataEntryMsb) {
            parameter.lsbBefore = channel.now[DataEntryLsb];
            parameter.msb = qint16(value);
            parameter.lsbAfter = -1;
        } else {
            parameter.lsbAfter = qint16(value);
        }
        return;
    }
    channel.current().controllers[size_t(number)] = qint16(value);
}

void MidiControlState::replaySettings(_fluid_synth_t *synth, int channel, const Settings &settings)
{
    if (settings.program >= 0) {
        if (settings.bankMsb >= 0)
            fluid_synth_cc(synth, channel, BankMsb, settings.bankMsb);
        if (settings.bankLsb >= 0)
            fluid_synth_cc(synth, channel, BankLsb, settings.bankLsb);
        fluid_synth_program_change(synth, channel, settings.program);
    }
    for (const auto &[key, parameter] : settings.parameters) {
        const bool nrpn = key >> 14;
        fluid_synth_cc(synth, channel, nrpn ? NrpnMsb : RpnMsb, key >> 7 & 0x7F);
        fluid_synth_cc(synth, channel, nrpn ? NrpnLsb : RpnLsb, key & 0x7F);
        if (parameter.lsbBefore >= 0)
            fluid_synth_cc(synth, channel, DataEntryLsb, parameter.lsbBefore);
        if (parameter.msb >= 0)
            fluid_synth_cc(synth, channel, DataEntryMsb, parameter.msb);
        if (parameter.lsbAfter >= 0)
            fluid_synth_cc(synth, channel, DataEntryLsb, parameter.lsbAfter);
    }
    for (int number = 0; number < 128; ++number) {
        const int value = settings.controllers[size_t(number)];
        if (value >= 0 && !(number >= NrpnLsb && number <= RpnMsb))
            fluid_synth_cc(synth, channel, number, value);
    }
    if (settings.bend >= 0)
        fluid_synth_pitch_bend(synth, channel, settings.bend);
    if (settings.pressure >= 0)
        fluid_synth_channel_pressure(synth, channel, settings.pressure);
}

void MidiControlState::replay(_fluid_synth_t *synth, const MidiSong &song) const
{
    const auto sendSysex = [&](quint32 index) {
        const QByteArray &body = song.sysex()[index];
        fluid_synth_sysex(synth, body.constData(), int(body.size()), nullptr, nullptr, nullptr, 0);
    };
    if (m_reset >= 0)
        sendSysex(quint32(m_reset));
    for (const quint32 index : m_sysex)
        sendSysex(index);
    for (int number = 0; number < int(m_channels.size()); ++number) {
        const Channel &channel = m_channels[size_t(number)];
        replaySettings(synth, number, channel.before);
        if (channel.controllersReset) {
            fluid_synth_cc(synth, number, ResetAllControllers, 0);
            replaySettings(synth, number, channel.after);
        }
        // The parameter that data entry goes to next, as the song left it
        // selected: the other kind first, the selected one last.
        const bool nrpn = channel.nrpnSelected;
        for (const bool last : {false, true}) {
            const bool kind = last ? nrpn : !nrpn;
            const int msb = channel.now[kind ? NrpnMsb : RpnMsb];
            const int lsb = channel.now[kind ? NrpnLsb : RpnLsb];
            if (msb >= 0)
                fluid_synth_cc(synth, number, kind ? NrpnMsb : RpnMsb, msb);
            if (lsb >= 0)
                fluid_synth_cc(synth, number, kind ? NrpnLsb : RpnLsb, lsb);
        }
    }
}
