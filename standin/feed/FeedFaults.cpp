// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedFaults.h"

#include "feed/WsjtxMessage.h"
#include "logger/BadInput.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QtEndian>

#include <utility>

namespace {

using Kind = FeedDestination::Kind;
using Fault = FeedFaults::Fault;
using Malformation = FeedFaults::Malformation;

const QString kOption = QStringLiteral("--feed-faults");

double Probability(const QString &key, const QString &value)
{
    bool isNumber = false;
    const double p = value.toDouble(&isNumber);
    if (!isNumber || !(p >= 0 && p <= 1))
        throw BadInput(QStringLiteral("%1 %2=%3: expected a probability from 0 to 1").arg(kOption, key, value));
    return p;
}

QString KindName(Kind kind)
{
    static const QString kNames[] = {QStringLiteral("wsjtx"), QStringLiteral("contactinfo"), QStringLiteral("adif"),
                                     QStringLiteral("tlf")};
    return kNames[int(kind)];
}

QString FaultName(Fault fault)
{
    static const QString kNames[] = {QString(), QStringLiteral("loss"), QStringLiteral("dup"),
                                     QStringLiteral("reorder"), QStringLiteral("delay"), QStringLiteral("garbage")};
    return kNames[int(fault)];
}

QString MalformationName(Malformation how)
{
    static const QString kNames[] = {QStringLiteral("cut-short"), QStringLiteral("unknown-type"),
                                     QStringLiteral("bad-utf8"), QStringLiteral("long-field")};
    return kNames[int(how)];
}

// Where a byte of text lies that a receiver must decode: the WSJT-X client
// id, a Tlf line's call column, the contactinfo app name, the ADIF text's
// first line.
qsizetype TextOffset(Kind kind, const QByteArray &good)
{
    switch (kind) {
    case Kind::Wsjtx: return 16;
    case Kind::TlfLan: return 2 + 29;
    case Kind::ContactInfo: return good.indexOf("<app>") + 5;
    case Kind::Adif: return 0;
    }
    return 0;
}

QByteArray UnknownType(Kind kind, const QByteArray &good)
{
    QByteArray bad = good;
    switch (kind) {
    case Kind::Wsjtx:
        qToBigEndian(quint32(99), bad.data() + 8);
        return bad;
    case Kind::ContactInfo:
        return bad.replace("contactinfo>", "unknowninfo>");
    case Kind::Adif: // another program's datagram on the ADIF port
        return WsjtxMessage::Heartbeat(WsjtxMessage::kClientId, QStringLiteral("0"), QString());
    case Kind::TlfLan:
        bad[1] = 'Z';
        return bad;
    }
    return bad;
}

// A field far longer than the datagram holds, or than any receiver expects.
QByteArray LongField(Kind kind, const QByteArray &good)
{
    QByteArray bad = good;
    switch (kind) {
    case Kind::Wsjtx: // the client id claims 2 GB
        bad.truncate(16);
        qToBigEndian(quint32(0x7ffffff0), bad.data() + 12);
        return bad;
    case Kind::ContactInfo: {
        const qsizetype call = bad.indexOf("<call>") + 6;
        return bad.insert(call, QByteArray(60000, 'X'));
    }
    case Kind::Adif: {
        const qsizetype tag = bad.indexOf("<EOH>");
        return bad.insert(tag, "<COMMENT:99999999>x");
    }
    case Kind::TlfLan:
        return bad.insert(bad.size() - 2, QByteArray(1000, 'X'));
    }
    return bad;
}

} // namespace

FeedFaults::Plan FeedFaults::Parse(const QString &faults)
{
    Plan plan;
    const QStringList settings = faults.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (settings.isEmpty())
        throw BadInput(QStringLiteral("%1: expected loss=P,dup=P,reorder=P,delay=MS,garbage=P,seed=N").arg(kOption));
    for (const QString &setting : settings) {
        const QString key = setting.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = setting.section(QLatin1Char('='), 1).trimmed();
        bool isNumber = false;
        if (key == QLatin1String("loss")) {
            plan.loss = Probability(key, value);
        } else if (key == QLatin1String("dup")) {
            plan.dup = Probability(key, value);
        } else if (key == QLatin1String("reorder")) {
            plan.reorder = Probability(key, value);
        } else if (key == QLatin1String("garbage")) {
            plan.garbage = Probability(key, value);
        } else if (key == QLatin1String("delay")) {
            plan.delayMs = value.toInt(&isNumber);
            if (!isNumber || plan.delayMs < 0 || plan.delayMs > kMaxDelayMs)
                throw BadInput(QStringLiteral("%1 delay=%2: expected milliseconds from 0 to %3")
                                   .arg(kOption, value)
                                   .arg(kMaxDelayMs));
        } else if (key == QLatin1String("seed")) {
            plan.seed = value.toULongLong(&isNumber);
            if (!isNumber)
                throw BadInput(QStringLiteral("%1 seed=%2: expected a whole number, 0 or more").arg(kOption, value));
        } else {
            throw BadInput(QStringLiteral("%1: '%2' is not one of loss, dup, reorder, delay, garbage, seed")
                               .arg(kOption, setting));
        }
    }
    if (plan.loss + plan.dup + plan.reorder + plan.garbage > 1.0)
        throw BadInput(QStringLiteral("%1 %2: loss, dup, reorder and garbage add up to more than 1").arg(kOption, faults));
    return plan;
}

FeedFaults::FeedFaults(const Plan &plan, const QString &logPath)
    : m_Plan(plan)
{
    const quint32 seed[] = {quint32(plan.seed), quint32(plan.seed >> 32)};
    m_Random = QRandomGenerator(seed);
    if (logPath.isEmpty())
        return;
    m_Log.setFileName(logPath);
    if (!m_Log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw BadInput(QStringLiteral("--fault-log: cannot write %1: %2").arg(logPath, m_Log.errorString()));
}

// One number from the generator decides among loss, dup, reorder and
// garbage by their probabilities; a contact none of them strikes is
// delayed, by 1 to delay ms, when a delay is asked for. A contact sent after
// the one before it was held back is not held back itself.
FeedFaults::Drawn FeedFaults::Draw(bool mayReorder)
{
    Drawn drawn;
    const double chance = m_Random.generateDouble();
    double bound = m_Plan.loss;
    if (chance < bound) {
        drawn.fault = Fault::Loss;
    } else if (chance < (bound += m_Plan.dup)) {
        drawn.fault = Fault::Dup;
    } else if (chance < (bound += m_Plan.reorder)) {
        drawn.fault = mayReorder ? Fault::Reorder : Fault::None;
    } else if (chance < (bound += m_Plan.garbage)) {
        drawn.fault = Fault::Garbage;
        drawn.malformation = Malformation(m_Random.bounded(4));
    }
    if (drawn.fault == Fault::None && m_Plan.delayMs > 0) {
        drawn.fault = Fault::Delay;
        drawn.delayMs = 1 + int(m_Random.bounded(m_Plan.delayMs));
    }
    return drawn;
}

void FeedFaults::HoldLive(UdpDestination &destination, const QList<QByteArray> &datagrams)
{
    m_Destinations[&destination].live += datagrams;
}

void FeedFaults::Deliver(UdpDestination &destination, int contact, const QList<QByteArray> &datagrams)
{
    PerDestination &state = m_Destinations[&destination];
    const QList<QByteArray> unit = std::exchange(state.live, {}) + datagrams;
    const Drawn drawn = Draw(state.held.isEmpty());
    Log(destination, contact, drawn);
    switch (drawn.fault) {
    case Fault::None:
        destination.Deliver(unit);
        break;
    case Fault::Loss:
        break;
    case Fault::Dup:
        destination.Deliver(unit);
        destination.Deliver(unit);
        break;
    case Fault::Reorder:
        state.held = unit;
        return;
    case Fault::Delay:
        DeliverLater(destination, unit, drawn.delayMs);
        break;
    case Fault::Garbage:
        destination.Deliver(QList<QByteArray>{Malformed(destination.DatagramKind(), drawn.malformation,
                                                        datagrams.first())}
                            + unit);
        break;
    }
    if (!state.held.isEmpty())
        destination.Deliver(std::exchange(state.held, {}));
}

void FeedFaults::Flush()
{
    for (const Delayed &delayed : std::exchange(m_Delayed, {})) {
        delete delayed.timer;
        delayed.destination->Deliver(delayed.datagrams);
    }
    for (auto &[destination, state] : m_Destinations) {
        if (!state.held.isEmpty())
            destination->Deliver(std::exchange(state.held, {}));
    }
}

QByteArray FeedFaults::Malformed(Kind kind, Malformation how, const QByteArray &good)
{
    switch (how) {
    case Malformation::CutShort:
        return good.left(good.size() / 2);
    case Malformation::UnknownType:
        return UnknownType(kind, good);
    case Malformation::BadUtf8: {
        QByteArray bad = good;
        bad[TextOffset(kind, good)] = '\xff';
        return bad;
    }
    case Malformation::LongField:
        return LongField(kind, good);
    }
    return good;
}

void FeedFaults::DeliverLater(UdpDestination &destination, const QList<QByteArray> &datagrams, int delayMs)
{
    auto *timer = new QTimer(&destination);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    m_Delayed.append({timer, &destination, datagrams});
    QObject::connect(timer, &QTimer::timeout, &destination, [this, timer] {
        for (qsizetype i = 0; i < m_Delayed.size(); ++i) {
            if (m_Delayed[i].timer == timer) {
                const Delayed delayed = m_Delayed.takeAt(i);
                delayed.destination->Deliver(delayed.datagrams);
                break;
            }
        }
        timer->deleteLater();
    });
    timer->start(delayMs);
}

void FeedFaults::Log(const UdpDestination &destination, int contact, const Drawn &drawn)
{
    if (!m_Log.isOpen() || drawn.fault == Fault::None)
        return;
    const FeedDestination &where = destination.Where();
    QJsonObject line{{QStringLiteral("contact"), contact},
                     {QStringLiteral("destination"), QStringLiteral("%1:%2").arg(where.host).arg(where.port)},
                     {QStringLiteral("kind"), KindName(where.kind)},
                     {QStringLiteral("fault"), FaultName(drawn.fault)}};
    if (drawn.fault == Fault::Delay)
        line.insert(QStringLiteral("ms"), drawn.delayMs);
    if (drawn.fault == Fault::Garbage)
        line.insert(QStringLiteral("malformed"), MalformationName(drawn.malformation));
    m_Log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    m_Log.flush();
}
