// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdifReaderControl.h"

#include "Numbers.h"

RuntimeError AdifReaderControl::Translated(const ReaderError &error)
{
    switch (error.kind()) {
    case ReaderError::Kind::InvalidCall:
        return RuntimeError::InvalidCall();
    case ReaderError::Kind::OutOfRange:
        return RuntimeError::SubscriptOutOfRange();
    case ReaderError::Kind::TypeMismatch:
        return RuntimeError::TypeMismatch();
    case ReaderError::Kind::Overflow:
        return RuntimeError::Overflow();
    case ReaderError::Kind::FileError:
    case ReaderError::Kind::RecordTooLong:
        return RuntimeError::FileError(error.path(), error.message());
    }
    return RuntimeError::InvalidCall(); // not reached: every kind is listed above
}

QVariant AdifReaderControl::Call(int dispatchId, InvokeKind kind, const QVariantList &args)
{
    try {
        return m_Reader.Invoke(dispatchId, kind, args);
    } catch (const ReaderError &error) {
        throw Translated(error);
    }
}

QVariant AdifReaderControl::Get(int dispatchId, const QVariantList &args)
{
    return Call(dispatchId, InvokeKind::PropertyGet, args);
}

// setValue reuses the held value when it is of the same type, as it is
// for a run of look-ups by name: no variant is made per look-up.
template <typename T>
QVariant AdifReaderControl::GetWith(int dispatchId, const T &argument)
{
    m_OneArgument[0].setValue(argument);
    return Get(dispatchId, m_OneArgument);
}

void AdifReaderControl::SetFileName(const QString &fileName)
{
    Call(AdifReader::kFileName, InvokeKind::PropertyPut, {fileName});
}

int16_t AdifReaderControl::NextRecord()
{
    return Numbers::VariantToInt16(Call(AdifReader::kNextRecord, InvokeKind::Method, {}));
}

double AdifReaderControl::Frequency() { return Numbers::VariantToDouble(Get(AdifReader::kFrequency)); }
double AdifReaderControl::SplitFrequency() { return Numbers::VariantToDouble(Get(AdifReader::kSplitFrequency)); }
int16_t AdifReaderControl::Year() { return Numbers::VariantToInt16(Get(AdifReader::kYear)); }
int16_t AdifReaderControl::Month() { return Numbers::VariantToInt16(Get(AdifReader::kMonth)); }
int16_t AdifReaderControl::Day() { return Numbers::VariantToInt16(Get(AdifReader::kDay)); }
int16_t AdifReaderControl::Hour() { return Numbers::VariantToInt16(Get(AdifReader::kHour)); }
int16_t AdifReaderControl::Minute() { return Numbers::VariantToInt16(Get(AdifReader::kMinute)); }
int16_t AdifReaderControl::Second() { return Numbers::VariantToInt16(Get(AdifReader::kSecond)); }
QString AdifReaderControl::Mode() { return Numbers::VariantToText(Get(AdifReader::kMode)); }

QString AdifReaderControl::FieldValue(const QString &fieldName)
{
    return Numbers::VariantToText(GetWith(AdifReader::kFieldValue, fieldName));
}

int32_t AdifReaderControl::FieldNameCount() { return Numbers::VariantToInt32(Get(AdifReader::kFieldNameCount)); }

QString AdifReaderControl::FieldName(int32_t position)
{
    return Numbers::VariantToText(GetWith(AdifReader::kFieldName, position));
}
