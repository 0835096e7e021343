#pragma once

#include "Rqx2Frames.h"
#include "core/Transfer.h"

#include <utility>

// What every RQX2 transfer shares: the port prepared and nothing sent (the instrument opens every
// transfer with its request "J" CR), the first request of an attempt answered with the transfer's
// kind, and the scan that finds each frame by its CR and where the CR lands.
class Rqx2Transfer : public Transfer {
public:
    TransferActions take(QByteArrayView bytes) override;
    // After a damaged record the bytes before a start byte are its rest, no frame on its way in.
    bool midFrame() const override;
    // PrepareRqx2Transfer: the port's buffers emptied and the port opened.
    TransferActions PrepareRqx2Transfer();

    // The records counted so far. A receive started after another numbers its records on from
    // where that one stood.
    long recordCount() const { return m_recordCount; }
    void numberOnFrom(const Rqx2Transfer &before) { m_recordCount = before.m_recordCount; }
    // Numbers on from count records taken or sent before.
    void numberOnFrom(long count) { m_recordCount = count; }

    // The instrument's requests are 3 bytes, the last two "J" CR.
    static constexpr int kRequestLength = 3;

protected:
    // The first byte of the answer to the request: 0x01 for coordinates, 0x05 for measurements.
    virtual char transferKindByte() const = 0;
    // Handles the frame of bytes 0..end, which ends in CR; kind tells what the CR ends.
    virtual void handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind,
                        TransferActions &actions) = 0;
    // Called after the first request has been answered, before the answer is written.
    virtual void answering(TransferActions &actions) { (void)actions; }
    // How many bytes may stand before a record's start byte and still belong to it: a start byte
    // further in begins a record of its own.
    virtual int leadBytes() const { return 0; }

    TransferEvents::Series series() const override { return TransferEvents::Series::Rqx2; }

    // AnswerRqx2Handshake: the first request of a transfer is answered; later ones are not.
    void AnswerRqx2Handshake(TransferActions &actions);
    // The next request is answered as the first of a transfer: the send starts over.
    void forgetHandshake() { m_handshakeAnswered = false; }
    bool handshakeAnswered() const { return m_handshakeAnswered; }
    void clearInput(TransferActions &actions);
    // The number of the next record counted.
    long countRecord() { return ++m_recordCount; }
    void setRecordCount(long count) { m_recordCount = count; }

    // The port's buffers emptied and the port opened before an answer: a frame is taken, and damage
    // is told again.
    void prepareAnswer(TransferActions &actions);
    // A damaged record: true when the user is to be told, false when damage has been told and no
    // frame taken since.
    bool damageToTell() { return !std::exchange(m_afterDamage, true); }

private:
    // A damaged record has been told and nothing taken since: the bytes up to the next start byte
    // are its rest and go without a word, and damage is not told again until a frame is taken (a
    // byte inside a record may look like a start byte), so one damaged record is told once and
    // costs no other.
    bool m_afterDamage = false;
    bool m_handshakeAnswered = false;
    long m_recordCount = 0;
};
