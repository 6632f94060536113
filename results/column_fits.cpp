// Remembers what each column's last fit to its content depended on, so that fits which could only
// give the same widths again are skipped.
#include "results/column_fits.h"

BOOL CColumnFits::NeedsFit(int column, const SColumnFitInputs& inputs, int width) const {
    if (!IsColumn(column))
        return TRUE;
    const SFit& fit = m_fits[column];
    return !fit.known || !(fit.inputs == inputs) || fit.width != width ? TRUE : FALSE;
}

void CColumnFits::Fitted(int column, const SColumnFitInputs& inputs, int width) {
    if (!IsColumn(column))
        return;
    m_fits[column].known = true;
    m_fits[column].inputs = inputs;
    m_fits[column].width = width;
}

void CColumnFits::Forget(int column) {
    if (IsColumn(column))
        m_fits[column].known = false;
}

void CColumnFits::ForgetAll() {
    for (SFit& fit : m_fits)
        fit.known = false;
}
