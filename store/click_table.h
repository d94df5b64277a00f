// The click-point table: the rows of the report list 超级列表框_配置, four text
// cells each (序号, 水平坐标, 垂直坐标, 窗口句柄). Every other part of the tool
// reaches the table only through these operations.
#pragma once

#include <windows.h>

#include <string>

// Creates the report list with its four columns as a child of the main window.
HWND CreateClickTable(int id, int x, int y, int width, int height);

// Appends a row whose four cells are empty.
void AppendEmptyRow();
// Sets a cell; nothing happens for a missing row.
void SetCell(int row, int column, const std::string& text);
// A cell's text; empty for a missing row or column.
std::string GetCell(int row, int column);
int RowCount();
// Removes every row.
void ClearRows();

// Fills the table from the click-point file beside the program; a missing or
// unreadable file gives an empty table.
void LoadClickPoints();
// Makes the click-point file hold exactly the table, replacing the old file in
// one step; on any failure the old file stays as it was.
void SaveClickPoints();
