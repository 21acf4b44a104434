#pragma once

#include <QStringList>

// The fixed lists of the three attribute boxes, in row order from 0.
namespace store {

const QStringList& gradeList();    // cmbGrade, 26 rows
const QStringList& mintMarkList(); // cmbMintMark, 60 rows
const QStringList& coinTypeList(); // cmbCoinType, 97 rows

} // namespace store
