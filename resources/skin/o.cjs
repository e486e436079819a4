/* Tallowby's default skin: a Qt style sheet, applied when the program starts.
   The window, its frames and options keep the system's button-face colour; the fields and
   buttons stay white, as the window was designed. */

QGroupBox {
  border: 1px solid #9fb0ba;
  border-radius: 6px;
  margin-top: 7px;
}

QGroupBox::title {
  subcontrol-origin: margin;
  subcontrol-position: top left;
  left: 9px;
  padding: 0 4px;
  color: #1b4a5e;
}

QLineEdit {
  background-color: #ffffff;
  border: 1px solid #9fb0ba;
  border-radius: 3px;
  padding: 0 5px;
  selection-background-color: #2f7f8f;
  selection-color: #ffffff;
}

QLineEdit#Text3 {
  background-color: palette(base);
}

QLineEdit:focus {
  border: 1px solid #2f7f8f;
}

QPushButton {
  background-color: #ffffff;
  border: 1px solid #7d919c;
  border-radius: 4px;
  color: palette(button-text);
}

QPushButton:hover {
  border-color: #2f7f8f;
  background-color: #f2f9fa;
}

QPushButton:pressed {
  background-color: #dcecef;
}

QPushButton:focus {
  border: 2px solid #2f7f8f;
}

QProgressBar {
  background-color: #ffffff;
  border: 1px solid #9fb0ba;
  border-radius: 4px;
  text-align: center;
  color: palette(button-text);
}

QProgressBar::chunk {
  background-color: #2f7f8f;
  border-radius: 3px;
}
