-- nothing here

   -- at all
	
