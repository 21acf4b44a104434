#pragma once

#include <QStringList>

// The fixed lists of the three attribute boxes, in row order from 0.
namespace store {

const QStringList& GradeList();    // cmbGrade, 26 rows
const QStringList& MintMarkList(); // cmbMintMark, 60 rows
const QStringList& CoinTypeList(); // cmbCoinType, 97 rows

} // namespace store
