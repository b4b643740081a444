#include "view/CompactView.h"

CompactView::CompactView(QWidget &window, QObject *parent)
    : QObject(parent), m_window(window)
{
}

void CompactView::cmdResize_Click() {}

void CompactView::cmdMinimize_Click() {}
