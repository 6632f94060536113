// The twelve columns of the results list: indexes, header texts and alignments.
#include "results/list_columns.h"

namespace {

struct SColumnInfo {
    LPCWSTR header;
    BOOL rightAligned;
};

constexpr SColumnInfo kColumns[kHopwatchColumnCount] = {
    {L"TTL", TRUE},         {L"Address", FALSE},     {L"Host Name", FALSE},
    {L"Loss", TRUE},        {L"Tx", TRUE},           {L"Rx", TRUE},
    {L"Lost", TRUE},        {L"Last RT [ms]", TRUE}, {L"Min RT [ms]", TRUE},
    {L"Avg RT [ms]", TRUE}, {L"Max RT [ms]", TRUE},  {L"Note / History", FALSE},
};

bool IsColumn(int column) {
    return column >= 0 && column < kHopwatchColumnCount;
}

} // namespace

LPCWSTR HopwatchColumnHeader(int column) {
    return IsColumn(column) ? kColumns[column].header : L"";
}

BOOL HopwatchColumnRightAligned(int column) {
    return IsColumn(column) ? kColumns[column].rightAligned : FALSE;
}
