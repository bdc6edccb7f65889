# Installed later
