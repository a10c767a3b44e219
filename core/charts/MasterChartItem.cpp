#include "core/charts/MasterChartItem.h"

TMasterChartItem::~TMasterChartItem() = default;
