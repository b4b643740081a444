# Qt's headers are most of what every file of the player compiles; each
# library parses the ones it uses everywhere once, as a precompiled header.
set(CORVEL_CORE_PCH <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject>
                    <QString> <QStringList> <QVector>)
set(CORVEL_WIDGET_PCH ${CORVEL_CORE_PCH} <QAction> <QLabel> <QLineEdit> <QPushButton>
                      <QTimer> <QWidget>)

# corvel_precompile(<target> CORE|WIDGETS): gives target its precompiled
# header of Qt's core or widget headers.
function(corvel_precompile target kind)
  if(kind STREQUAL "CORE")
    target_precompile_headers(${target} PRIVATE ${CORVEL_CORE_PCH})
  else()
    target_precompile_headers(${target} PRIVATE ${CORVEL_WIDGET_PCH})
  endif()
endfunction()
