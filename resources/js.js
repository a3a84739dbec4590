// Rollover images: swaps a named image for another and back.
