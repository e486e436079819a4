# Tests of the desktop layer, run offscreen.
