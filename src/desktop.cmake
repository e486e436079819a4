# The desktop layer: Qt 6 Widgets on top of the core.
