#include "AdifReaderControl.h"

#include "Numbers.h"

QVariant AdifReaderControl::Get(int dispatchId, const QVariantList &args)
{
    return m_Reader.Invoke(dispatchId, InvokeKind::PropertyGet, args);
}

QVariant AdifReaderControl::GetWith(int dispatchId, const QVariant &argument)
{
    m_OneArgument[0] = argument;
    return Get(dispatchId, m_OneArgument);
}

void AdifReaderControl::SetFileName(const QString &fileName)
{
    m_Reader.Invoke(AdifReader::kFileName, InvokeKind::PropertyPut, {fileName});
}

int16_t AdifReaderControl::NextRecord()
{
    return Numbers::VariantToInt16(m_Reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}));
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
