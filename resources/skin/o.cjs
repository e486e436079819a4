/* Tallowby's default skin: a Qt style sheet, applied when the program starts.
   In a light scheme the window, its frames and options keep the system's button-face colour and
   the fields and buttons stay white, as the window was designed; the rules at the end give the
   dark and high-contrast schemes the user's own colours. */

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

/* Dark and high-contrast schemes: the user's light text would stand on the white above, so the
   window (colourScheme is its scheme) takes every colour from the user's palette instead. */

#Form1[colourScheme="dark"] QGroupBox,
#Form1[colourScheme="high-contrast"] QGroupBox {
  border-color: palette(mid);
}

#Form1[colourScheme="dark"] QGroupBox::title,
#Form1[colourScheme="high-contrast"] QGroupBox::title {
  color: palette(window-text);
}

#Form1[colourScheme="dark"] QLineEdit,
#Form1[colourScheme="high-contrast"] QLineEdit {
  background-color: palette(base);
  color: palette(text);
  border-color: palette(mid);
  selection-background-color: palette(highlight);
  selection-color: palette(highlighted-text);
}

#Form1[colourScheme="dark"] QPushButton,
#Form1[colourScheme="high-contrast"] QPushButton,
#Form1[colourScheme="dark"] QPushButton:hover,
#Form1[colourScheme="high-contrast"] QPushButton:hover {
  background-color: palette(button);
  border-color: palette(mid);
}

#Form1[colourScheme="dark"] QLineEdit:focus,
#Form1[colourScheme="high-contrast"] QLineEdit:focus,
#Form1[colourScheme="dark"] QPushButton:hover,
#Form1[colourScheme="high-contrast"] QPushButton:hover,
#Form1[colourScheme="dark"] QPushButton:focus,
#Form1[colourScheme="high-contrast"] QPushButton:focus {
  border-color: palette(highlight);
}

#Form1[colourScheme="dark"] QPushButton:pressed,
#Form1[colourScheme="high-contrast"] QPushButton:pressed {
  background-color: palette(dark);
}

#Form1[colourScheme="dark"] QProgressBar,
#Form1[colourScheme="high-contrast"] QProgressBar {
  background-color: palette(base);
  border-color: palette(mid);
  color: palette(text);
}

#Form1[colourScheme="dark"] QProgressBar::chunk,
#Form1[colourScheme="high-contrast"] QProgressBar::chunk {
  background-color: palette(highlight);
}
